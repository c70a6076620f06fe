// "wait MS": the host's message loop runs for a while of real time, and the
// plug-in's refresh timer ticks in it as in a player, on its period, and
// nowhere else.
#include "e2e_support.h"

#include <gtest/gtest.h>

static const char TICK[] = "received timer 1 0";

TEST(Wait, TicksThePluginsTimerOnItsPeriodOnlyWhileWaitingAndNotOnceKilled)
{
    ScenarioRun run = runScenarioText("wait-ticks", "title 1. First Artist - Opening Song - Winamp\n"
                                                    "answer 104 1\nanswer 105 0 75000\nanswer 105 1 200\n"
                                                    "start\ntick\nsnapshot before\n"
                                                    "answer 105 0 76000\ncounts waiting\n"
                                                    "wait 1100\ncounts waited\nsnapshot after\n"
                                                    // no refresh without a tick: 77 s never shows
                                                    "answer 105 0 77000\nsnapshot later\n"
                                                    // the period goes on across waits: due at 1250 ms
                                                    "wait 100\ncounts short\nwait 200\ncounts split\n"
                                                    "quit\ncounts quit\nwait 600\n");
    expectCleanRun(run);
    EXPECT_EQ(countLines(eventsBetween(run, "", "waiting"), TICK), 1); // the tick step's
    // 250, 500, 750 and 1000 ms.
    EXPECT_EQ(countLines(eventsBetween(run, "waiting", "waited"), TICK), 4);
    EXPECT_EQ(countLines(eventsBetween(run, "waited", "short"), TICK), 0);
    EXPECT_EQ(countLines(eventsBetween(run, "short", "split"), TICK), 1);
    // quitProc killed the timer: the wait after it delivers nothing.
    EXPECT_EQ(countLines(eventsBetween(run, "quit", ""), TICK), 0);
    EXPECT_EQ(countLines(run.events(), "settimer 1 250"), 1);

    // Remaining time: 200 s - 75 s, then - 76 s after the wait's refreshes.
    EXPECT_EQ(run.textRow("before", 6).substr(4, 11), "02:05/03:20");
    EXPECT_EQ(run.textRow("after", 6).substr(4, 11), "02:04/03:20");
    EXPECT_EQ(run.textRow("later", 6).substr(4, 11), "02:04/03:20");
}

TEST(Wait, RefusesATimeOutOfRange)
{
    ScenarioRun run = runClassicBusScenarioText("wait-negative", "wait -5\n");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.errorOutput.find("line 1 (wait): expected a wait of 0 to 3600000 ms"), std::string::npos)
        << run.errorOutput;
}
