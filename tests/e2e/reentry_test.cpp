// A host that answers the plug-in's messages with modal loops of its own,
// or asks for the dialog twice: one piece of display work finishes before
// the next begins, and nothing is drawn after shut-down.
#include "e2e_support.h"

#include <gtest/gtest.h>

namespace {

// The lines from the first `begin` on to the `end` after it.
Lines between(const Lines &lines, const std::string &begin, const std::string &end, int *from)
{
    int first = findLine(lines, begin, *from);
    int last = first < 0 ? -1 : findLine(lines, end, first);
    if (last < 0)
        return Lines();
    *from = last + 1;
    return Lines(lines.begin() + first + 1, lines.begin() + last);
}

} // namespace

// The play command goes out while the title still begins with "Winamp";
// the host answers it with a loop that pumps three ticks.
TEST(Reentry, PlayCommandAnsweredWithAModalLoopStartsNoRefreshInsideIt)
{
    ScenarioRun run = runScenarioText("reentry-play-loop", "modal-loop play 3\ntitle Winamp 2.91\nanswer 104 1\n"
                                                           "start\ntick 2\n"
                                                           "play-title 1. Band - Tune - Winamp\ntick\n"
                                                           "snapshot playing\nquit\nsnapshot quit\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countLines(events, "command 40045"), 3) << "one play command per outer tick";
    EXPECT_EQ(countLines(events, "modal loop begin play"), 3);
    int from = 0;
    for (int loop = 0; loop < 3; loop++) {
        SCOPED_TRACE("loop " + std::to_string(loop));
        Lines inside = between(events, "modal loop begin play", "modal loop end play", &from);
        // Each tick pumped by the host's loop reached the host and did
        // nothing else: no play command, no second loop.
        EXPECT_EQ(inside, (Lines{"received timer 1 0", "received timer 1 0", "received timer 1 0"}));
    }
    // After the third loop the host switched its title: the refresh that
    // sent the command read it again and showed the track.
    EXPECT_EQ(run.textRow("playing", 1).substr(4, 4), "Band");
    EXPECT_EQ(run.textRow("playing", 2).substr(4, 4), "Tune");
    EXPECT_EQ(run.textRow("quit", 1).substr(4, 24), "Winamp has been shutdown");
    EXPECT_EQ(countLines(events, "received timer 1 0"), 3 + 9);
}

// Here the host's loop comes after the plug-in's refresh has finished:
// those ticks are not nested in one, so each refreshes as usual.
TEST(Reentry, TicksPumpedByTheHostAfterARefreshStillRefresh)
{
    ScenarioRun run = runScenarioText("reentry-tick-loop", "modal-loop tick 3\ntitle Winamp 2.91\nanswer 104 1\n"
                                                           "start\ntick\nmodal-loop off\ntick\nquit\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countLines(events, "modal loop begin tick"), 1);
    int from = 0;
    Lines inside = between(events, "modal loop begin tick", "modal loop end tick", &from);
    EXPECT_EQ(inside, (Lines{"command 40045", "received timer 1 0", "command 40045", "received timer 1 0",
                             "command 40045", "received timer 1 0"}));
    EXPECT_EQ(countLines(events, "command 40045"), 1 + 3 + 1);
}

// The dialog is open when the host asks for it again from another window
// of its own: the open one comes to the front, no second one opens, and
// the steps go on in the first.
TEST(Reentry, SecondConfigWhileTheDialogIsOpenBringsItToTheFront)
{
    ScenarioRun run = runScenarioText("reentry-config-twice", "start\nconfig\nclick 1008\nconfig\ninspect\n"
                                                              "click 1\nend\nquit\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countLines(events, "dialog open"), 1);
    EXPECT_EQ(countLines(events, "dialog end 0"), 1);
    EXPECT_EQ(countLines(events, "config again, dialog in front 0"), 1);
    EXPECT_EQ(countLines(events, "config again returned, dialog in front 1"), 1);
    EXPECT_EQ(buttonStates(run), (Lines{"1007 0", "1008 1", "1009 1", "1010 0", "1014 1", "1015 0"}));
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=1", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}

// A dialog still open when the host shuts the plug-in down: its picture
// buttons, OK and the ticks draw nothing over the shut-down screen.
TEST(Reentry, DialogLeftOpenAtQuitDrawsNothingAfterTheShutDownScreen)
{
    ScenarioRun run = runScenarioText("reentry-dialog-after-quit",
                                      "title 1. A - B - Winamp\nanswer 104 1\nstart\ntick\n"
                                      "config\nquit\nsnapshot quit\ncounts quit\n"
                                      "click 3\nclick 1011\ntick 2\nclick 1\nend\ntick\n"
                                      "snapshot after\ncounts after\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(run.textRow("quit", 1).substr(4, 24), "Winamp has been shutdown");
    EXPECT_EQ(run.ram("after"), run.ram("quit"));
    int quit = findLine(events, "killtimer 1");
    ASSERT_NE(quit, -1);
    std::string atQuit, after;
    for (const std::string &line : events) {
        if (line.compare(0, 12, "counts quit ") == 0)
            atQuit = line.substr(12);
        if (line.compare(0, 13, "counts after ") == 0)
            after = line.substr(13);
    }
    ASSERT_FALSE(atQuit.empty());
    EXPECT_EQ(after, atQuit) << "not a single port access after shut-down";
    EXPECT_EQ(countLines(events, "dialog end 0"), 1);
}

// The host shuts the plug-in down from the loop it runs inside the play
// command: the shut-down screen is drawn there, and the refresh that sent
// the command draws nothing after it.
TEST(Reentry, QuitFromTheHostsLoopInsideARefreshLeavesTheShutDownScreen)
{
    ScenarioRun run = runScenarioText("reentry-quit-in-loop", "title 1. Band - Tune - Winamp\nanswer 104 1\n"
                                                              "start\ntick\ntitle Winamp 2.91\n"
                                                              "modal-loop play 2 quit\ntick\nsnapshot end\n");
    expectCleanRun(run);
    Lines events = run.events();
    int from = 0;
    Lines inside = between(events, "modal loop begin play", "modal loop end play", &from);
    EXPECT_EQ(inside, (Lines{"received timer 1 0", "received timer 1 0", "quit inside the modal loop", "killtimer 1",
                             "wndproc restored"}));
    // The tick whose refresh sent the command still reached the host.
    ASSERT_LT(from, (int)events.size());
    EXPECT_EQ(events[from], "received timer 1 0");
    EXPECT_EQ(run.textRow("end", 1).substr(0, 28), "    Winamp has been shutdown");
    EXPECT_EQ(run.textRow("end", 2).substr(0, 26), "    please turn off LCD...");
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=0", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}
