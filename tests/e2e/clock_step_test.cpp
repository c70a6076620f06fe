// "clock YYYY-MM-DD HH:MM": the local time the plug-in reads. Read here by
// the host's threaded probe, whose frames carry GetLocalTime.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <ctime>

// "YYYY-MM-DD HH:MM:SS W" of the frame on row 0.
static std::string frameTime(const ScenarioRun &run, const std::string &snapshot)
{
    std::string row = run.textRow(snapshot, 0);
    size_t step = row.find(" STEP ");
    size_t at = step == std::string::npos ? std::string::npos : row.find(' ', step + 6);
    return at == std::string::npos ? row : row.substr(at + 1, 21);
}

TEST(ClockStep, FixesTheLocalTimeWithItsWeekdayFromItsStepOn)
{
    ScenarioRun run = runProbeScenarioText("clock-step", "start\nsnapshot real\n"
                                                         "clock 2024-02-29 08:05\nconfig\nsnapshot leap-day\n"
                                                         "config\nsnapshot still\n"
                                                         "clock 1999-12-31 23:59\nconfig\nsnapshot new\n");
    expectCleanRun(run);
    // Before any clock step the real time passes through.
    std::time_t now = std::time(nullptr);
    char year[8];
    std::strftime(year, sizeof year, "%Y", std::localtime(&now));
    EXPECT_EQ(frameTime(run, "real").substr(0, 4), year);
    EXPECT_EQ(frameTime(run, "leap-day"), "2024-02-29 08:05:00 4"); // a Thursday
    EXPECT_EQ(frameTime(run, "still"), "2024-02-29 08:05:00 4");    // it does not run on
    EXPECT_EQ(frameTime(run, "new"), "1999-12-31 23:59:00 5");      // a Friday
}

TEST(ClockStep, BadTimesFailTheStepSayingWhatIsWrong)
{
    const struct {
        const char *words;
        const char *message;
    } cases[] = {
        {"2026-02-29 10:00", "the day 29 is not in 2026-02"},
        {"2026-04-31 10:00", "the day 31 is not in 2026-04"},
        {"2026-13-01 10:00", "the month 13 is not 1 to 12"},
        {"2026-00-10 10:00", "the month 0 is not 1 to 12"},
        {"2026-01-01 24:00", "the hour 24 is not 0 to 23"},
        {"2026-01-01 10:60", "the minute 60 is not 0 to 59"},
        {"1600-12-31 10:00", "the year 1600 is before 1601"},
        {"2026-1-1 9:05", "expected 'clock YYYY-MM-DD HH:MM', got 'clock 2026-1-1 9:05'"},
        {"2026-01-01", "expected 'clock YYYY-MM-DD HH:MM', got 'clock 2026-01-01'"},
        {"2026-01-01 10:00 extra", "expected 'clock YYYY-MM-DD HH:MM'"},
        {"2026/01/01 10:00", "expected 'clock YYYY-MM-DD HH:MM'"},
    };
    int index = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.words);
        ScenarioRun run = runClassicBusScenarioText("clock-bad-" + std::to_string(index++),
                                                    "title 1. A - B - Winamp\nclock " + std::string(c.words) + "\n");
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.errorOutput.find(std::string("line 2 (clock): ") + c.message), std::string::npos)
            << run.errorOutput;
    }
}
