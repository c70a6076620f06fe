// Shut-down in the orders a host or its other plug-ins may bring about:
// the main window gone first, no tick at all, another module subclassing
// the window before or after this one, and messages after the unload.
#include "e2e_support.h"

#include <gtest/gtest.h>

namespace {

const Lines DEFAULT_ENTRIES = {"NoIntro=0", "Disable LCD=0", "Time Remaining=1", "LPTx=888"};

} // namespace

TEST(LifecycleOrder, QuitAfterTheMainWindowIsGoneStillShowsTheShutDownAndSaves)
{
    ScenarioRun run = runScenarioText("order-window-gone", "title 1. A - B - Winamp\nanswer 104 1\nstart\ntick\n"
                                                           "destroy-window\nquit\nsnapshot quit\nunload\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_LT(findLine(events, "window destroyed"), findLine(events, "killtimer 1"));
    EXPECT_EQ(run.textRow("quit", 1).substr(4, 24), "Winamp has been shutdown");
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")), DEFAULT_ENTRIES);
}

TEST(LifecycleOrder, QuitWithoutATickShowsOnlyTheShutDownTexts)
{
    ScenarioRun run = runScenarioText("order-no-tick", "start\nquit\nsnapshot quit\nunload\n");
    expectCleanRun(run);
    EXPECT_EQ(run.textRow("quit", 1).substr(0, 28), "    Winamp has been shutdown");
    EXPECT_EQ(run.textRow("quit", 2).substr(0, 26), "    please turn off LCD...");
    // Nothing was ever sampled: the other cells are blank.
    for (int row : {0, 3, 4, 5, 6, 7})
        EXPECT_EQ(run.textRow("quit", row), std::string(40, ' ')) << "row " << row;
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")), DEFAULT_ENTRIES);
}

// The other module's procedure still forwards to ours after quit, so ours
// must stay in place and in memory after the host frees the plug-in.
TEST(LifecycleOrder, AnotherModuleSubclassingAfterUsKeepsForwardingThroughUsAfterUnload)
{
    ScenarioRun run = runScenarioText("order-subclass-after",
                                      "title 1. A - B - Winamp\nanswer 104 1\nstart\nsubclass\ntick\n"
                                      "quit\nsnapshot quit\ntimer 7\nsnapshot later\nunload\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countLines(events, "wndproc left"), 1);
    EXPECT_NE(findLine(events, "messages after unload delivered"), -1);
    Lines afterUnload = linesAfter(events, "unload");
    EXPECT_EQ(countLines(afterUnload, "received timer 1 0"), 1);
    EXPECT_EQ(countLines(afterUnload, "received timer 2 0"), 1);
    // After quit a tick leaves the shut-down screen alone.
    EXPECT_EQ(countLines(linesAfter(events, "wndproc left"), "received timer 7 0"), 1);
    EXPECT_EQ(run.ram("quit"), run.ram("later"));
}

TEST(LifecycleOrder, AnotherModuleSubclassingBeforeUsGetsItsProcedureBack)
{
    ScenarioRun run = runScenarioText("order-subclass-before", "title 1. A - B - Winamp\nsubclass\nstart\ntick\n"
                                                               "quit\nunload\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countLines(events, "wndproc restored"), 1);
    Lines afterUnload = linesAfter(events, "unload");
    EXPECT_EQ(countLines(afterUnload, "received timer 1 0"), 1);
    EXPECT_NE(findLine(events, "messages after unload delivered"), -1);
}

// The host's WM_CLOSE handler runs quitProc and FreeLibrary while the
// message is still inside the plug-in's window procedure: the module must
// stay mapped under its own code, and shut-down is as usual.
TEST(LifecycleOrder, QuitAndFreeFromInsideTheHostsCloseHandlerReturnsSafely)
{
    ScenarioRun run = runScenarioText("order-close-handler", "title 1. A - B - Winamp\nanswer 104 1\nstart\ntick\n"
                                                             "config\nclick 1008\nclick 1\nend\n"
                                                             "close-window\nsnapshot closed\ntick 2\n");
    expectCleanRun(run);
    Lines events = run.events();
    int close = findLine(events, "close message");
    ASSERT_NE(close, -1);
    EXPECT_EQ(findLine(events, "killtimer 1", close), close + 1);
    EXPECT_EQ(findLine(events, "wndproc restored", close), close + 2);
    EXPECT_EQ(findLine(events, "unload", close), close + 3);
    EXPECT_EQ(findLine(events, "close handled", close), close + 4);
    EXPECT_EQ(countLines(linesAfter(events, "close handled"), "received timer 1 0"), 2);
    EXPECT_EQ(run.textRow("closed", 1).substr(4, 24), "Winamp has been shutdown");
    EXPECT_EQ(run.textRow("closed", 2).substr(4, 22), "please turn off LCD...");
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=1", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}
