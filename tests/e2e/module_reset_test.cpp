// "module-reset": the module loses its power for a moment while the
// plug-in runs. Its display RAM and registers are gone; the card (another
// board) keeps its control latch, and the host its logs. What brings the
// status back differs by bus, so after the reset each bus runs alone.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

static const std::string TRACK = "title 1. First Artist - Opening Song - Winamp\nanswer 104 1\n"
                                 "answer 105 0 75000\nanswer 105 1 200\nstart\ntick\n";

static int litPixels(const ScenarioRun &run, const std::string &snapshot)
{
    int lit = 0;
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 240; x++)
            lit += run.pixel(snapshot, x, y);
    return lit;
}

// Text row `row`, from `column` on, as display RAM holds it with the
// plug-in's text area (home 0, 40 bytes a row), whatever the registers say.
static std::string ramText(const std::vector<unsigned char> &ram, int row, int column, int length)
{
    std::string text;
    for (int i = 0; i < length; i++)
        text += (char)(ram.at(row * 40 + column + i) + 0x20);
    return text;
}

static long long countsValue(const ScenarioRun &run, const std::string &label, const std::string &what)
{
    std::string prefix = "counts " + label + " ";
    for (const std::string &line : run.events())
        if (line.compare(0, prefix.size(), prefix) == 0) {
            size_t at = line.find(" " + what + " ");
            return at == std::string::npos ? -1 : std::atoll(line.c_str() + at + what.size() + 2);
        }
    return -1;
}

TEST(ModuleReset, BlanksDisplayRamAndRegistersAndKeepsTheLogs)
{
    ScenarioRun run = runScenarioText("module-reset-blank", TRACK + "snapshot before\nmodule-reset\ncounts reset\n"
                                                                    "snapshot reset\n");
    expectCleanRun(run);
    EXPECT_EQ(countLines(run.events(), "module reset"), 1);
    ASSERT_EQ(run.textRow("before", 1).substr(4, 12), "First Artist");
    ASSERT_GT(litPixels(run, "before"), 0);

    std::vector<unsigned char> ram = run.ram("reset");
    ASSERT_EQ(ram.size(), 8192u);
    EXPECT_EQ(std::count(ram.begin(), ram.end(), 0), 8192);
    // Display mode 0 (nothing shown), as after power-on.
    EXPECT_EQ(litPixels(run, "reset"), 0);
    // The logs still hold everything from start-up on.
    long long transfers = countsValue(run, "reset", "transfers");
    EXPECT_GT(transfers, 0);
    EXPECT_EQ((long long)run.transfers().size(), transfers);
    EXPECT_EQ(run.transfers().at(2), "C 40"); // the text home, the first command of start-up
}

TEST(ModuleReset, ClassicBusRewritesTheTextsWithTheNextRefreshButNotTheRegisters)
{
    ScenarioRun run = runClassicBusScenarioText("module-reset-classic",
                                                TRACK + "module-reset\ncounts reset\ntick\nsnapshot ticked\n");
    expectCleanRun(run);
    std::vector<unsigned char> ram = run.ram("ticked");
    EXPECT_EQ(ramText(ram, 1, 4, 12), "First Artist");
    EXPECT_EQ(ramText(ram, 6, 4, 11), "02:05/03:20");
    // The text area and display mode were set at start-up only: the module
    // holds the texts and shows nothing.
    EXPECT_EQ(litPixels(run, "ticked"), 0);

    // The refresh's first access reads the control latch: it holds what the
    // plug-in wrote last before the reset, not the power-on 0xCC.
    Lines ports = run.ports();
    long long first = countsValue(run, "reset", "accesses");
    ASSERT_GT(first, 0);
    ASSERT_LT(first, (long long)ports.size());
    std::string lastWritten;
    for (long long i = 0; i < first; i++)
        if (ports[i].compare(0, 9, "out 037A ") == 0)
            lastWritten = ports[i].substr(9);
    ASSERT_FALSE(lastWritten.empty());
    EXPECT_EQ(ports[first], "in 037A " + lastWritten);
}

TEST(ModuleReset, FastBusSendsTheTextAreaAndRegistersAgainWithinTenSeconds)
{
    ScenarioRun run = runFastBusScenarioText("module-reset-fast", TRACK + "module-reset\nwait 2000\nsnapshot early\n"
                                                                          "wait 8500\nsnapshot back\n");
    expectCleanRun(run);
    // The ticks change nothing, so the fast bus sends nothing: the module
    // stays blank until the periodic resend, 10 s after start-up.
    std::vector<unsigned char> early = run.ram("early");
    EXPECT_EQ(std::count(early.begin(), early.end(), 0), 8192);
    EXPECT_EQ(run.textRow("back", 1).substr(4, 12), "First Artist");
    EXPECT_EQ(run.textRow("back", 6).substr(4, 11), "02:05/03:20");
    EXPECT_GT(litPixels(run, "back"), 0);
}

// Mirrored, the panel models the module behind the "real" driver: both
// lose the picture, and the panel's window shows the blank module.
TEST(ModuleReset, TheVirtualPanelShowsTheBlankModule)
{
    ScenarioRun run = runScenarioText("module-reset-panel", "driver panel-mirror\n" + TRACK +
                                                                "snapshot before\npanel-paint before\nmodule-reset\n"
                                                                "panel-paint reset\nsnapshot reset\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countLines(events, "panel before paint same scale 3"), 1);
    EXPECT_EQ(countLines(events, "panel reset paint same scale 3"), 1);
    ASSERT_GT(litPixels(run, "before"), 0);
    EXPECT_EQ(litPixels(run, "reset"), 0);
}
