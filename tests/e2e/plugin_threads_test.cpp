// A plug-in with a port thread of its own: every step begins once the
// thread has sent what was handed to it, and the steps that read the
// module keep it away from the port. Tried on the host's threaded probe,
// which sends each frame slowly, dashes first, so a snapshot taken too soon
// shows an older frame and one taken during a send shows dashes.
#include "e2e_support.h"

#include "emulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

// "FRAME N STEP S" at the start of row 0.
static std::string frameOf(const ScenarioRun &run, const std::string &snapshot)
{
    std::string row = run.textRow(snapshot, 0);
    size_t time = row.find(' ', row.find(" STEP ") + 6);
    return row.substr(0, time);
}

TEST(PluginThreads, EachSnapshotShowsTheFrameHandedOverJustBeforeIt)
{
    ScenarioRun run = runProbeScenarioText("threads-hand-over", "start\nsnapshot one\nconfig\nsnapshot two\n"
                                                                "config\nconfig\ncounts four\nsnapshot four\n"
                                                                "quit\nsnapshot stopped\n");
    expectCleanRun(run);
    EXPECT_EQ(countLines(run.events(), "thread created"), 1);
    EXPECT_EQ(frameOf(run, "one"), "FRAME 1 STEP 0");
    EXPECT_EQ(frameOf(run, "two"), "FRAME 2 STEP 0");
    EXPECT_EQ(frameOf(run, "four"), "FRAME 4 STEP 0");
    // The thread sent its last row and ended; the steps after it go on.
    EXPECT_EQ(run.textRow("stopped", 0).substr(0, 8), "STOPPED ");
    EXPECT_EQ(run.textRow(END_OF_RUN, 0).substr(0, 8), "STOPPED ");
}

// The probe resends after 2 ms of idleness, so its thread is at the port
// nearly all the time. Held while the host reads, it changes nothing under
// a snapshot, nor while the run's end writes the snapshot and the logs:
// replayed on a fresh emulator, the logs leave what the end-of-run
// snapshot shows.
TEST(PluginThreads, AThreadWakingOnItsOwnTimeoutChangesNothingWhileTheHostReads)
{
    std::string steps = "start\n";
    for (int i = 0; i < 8; i++)
        steps += "snapshot s" + std::to_string(i) + "\n";
    ScenarioRun run = runProbeScenarioText("threads-resend", steps);
    expectCleanRun(run);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(frameOf(run, "s" + std::to_string(i)), "FRAME 1 STEP 0") << "snapshot s" << i;

    Emulator replay;
    emulatorReset(&replay, 0x378, 0xCC);
    Lines ports = run.ports();
    ASSERT_GT(ports.size(), 1000u);
    for (const std::string &line : ports) {
        unsigned port = 0, value = 0;
        char direction[4] = "";
        ASSERT_EQ(std::sscanf(line.c_str(), "%3s %x %x", direction, &port, &value), 3) << line;
        if (std::string(direction) == "out")
            emulatorOut(&replay, (uint16_t)port, (uint8_t)value);
        else
            emulatorIn(&replay, (uint16_t)port);
    }
    EXPECT_EQ(replay.transfers.size(), run.transfers().size());
    std::vector<unsigned char> atEnd = run.ram(END_OF_RUN);
    ASSERT_EQ(atEnd.size(), sizeof replay.lcd.ram);
    EXPECT_TRUE(std::equal(atEnd.begin(), atEnd.end(), replay.lcd.ram)) << "the logs go past the end-of-run snapshot";
}

// The probe's step timer (SetTimer(NULL, 0, 100, PROC)) kills itself after
// three steps, each of which hands a frame over.
TEST(ThreadTimers, RunOnlyDuringWaitsUntilKilled)
{
    ScenarioRun run = runProbeScenarioText("thread-timer", "start\nconfig\nsnapshot drawn\ntick\nsnapshot ticked\n"
                                                           "counts waiting\nwait 1000\ncounts waited\n"
                                                           "snapshot waited\nwait 300\nsnapshot later\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countLines(events, "timer-proc set 100"), 1);
    EXPECT_LT(findLine(events, "timer-proc set 100"), findLine(events, "init 0"));
    // Well over 100 ms passed before the tick (two slow sends), yet the
    // tick's message pump ran no step.
    EXPECT_EQ(frameOf(run, "ticked"), "FRAME 2 STEP 0");
    EXPECT_EQ(countLines(eventsBetween(run, "waiting", "waited"), "timer-proc kill"), 1);
    EXPECT_EQ(countLines(events, "timer-proc kill"), 1);
    EXPECT_EQ(frameOf(run, "waited"), "FRAME 5 STEP 3");
    EXPECT_EQ(frameOf(run, "later"), "FRAME 5 STEP 3");
}
