// The plug-in on a machine with no port driver, with the driver only where
// a search by bare name would find it, and with the driver in the system
// folder: the host runs as it would with the display.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>

// Start, ticks, the dialog ended with OK, with Cancel and from its caption,
// the intro and about buttons, quit and unload.
static const char FULL_SESSION[] = "title 1. Some Artist - Some Song - Winamp\n"
                                   "answer 104 1\nanswer 105 0 75000\nanswer 105 1 200\n"
                                   "start\ntick 3\ntimer 7\n"
                                   "config\nclick 3\nclick 1011\nclick 1008\nclick 1\nend\n"
                                   "tick\nconfig\nclick 1009\nclick 2\nend\n"
                                   "config\nclose\nend\n"
                                   "tick 2\nquit\nunload\n";

TEST(NoPortDriver, WholeSessionRunsToItsEndAndNothingReachesAPort)
{
    ScenarioRun run = runScenarioText("driverless-session", std::string("driver off\n") + FULL_SESSION);
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    Lines events = run.events();
    EXPECT_EQ(countPrefix(events, "crash "), 0);
    EXPECT_EQ(countPrefix(events, "exit "), 0);
    // The plug-in did not go looking for a driver elsewhere and find one.
    EXPECT_EQ(countLines(events, "driver loaded by the plug-in"), 0);
    EXPECT_TRUE(run.transfers().empty());
    EXPECT_TRUE(run.ports().empty());

    // Otherwise it behaves as with the display.
    EXPECT_EQ(countLines(events, "init 0"), 1);
    EXPECT_EQ(countLines(events, "settimer 1 250"), 1);
    EXPECT_EQ(countLines(events, "killtimer 1"), 1);
    EXPECT_EQ(countLines(events, "dialog open"), 3);
    EXPECT_EQ(countLines(events, "dialog end 0"), 3);
    EXPECT_EQ(countLines(events, "wndproc restored"), 1);
    EXPECT_NE(findLine(events, "messages after unload delivered"), -1);
    ASSERT_NE(findLine(events, "unload"), -1);
    Lines beforeUnload = linesBefore(events, "unload");
    EXPECT_EQ(countLines(beforeUnload, "received timer 1 0"), 6);
    EXPECT_EQ(countLines(beforeUnload, "received timer 7 0"), 1);
    // OK stored "skip intro"; Cancel and the caption changed nothing more.
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=1", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}

// The driver's copies the plug-in asked the system for, in order.
static Lines driverRequests(const Lines &events)
{
    Lines requests;
    for (const std::string &line : events)
        if (line.compare(0, 8, "library ") == 0 && line.find("inpout32.dll") != std::string::npos)
            requests.push_back(line.substr(8));
    return requests;
}

// A player started from a download folder that holds an inpout32.dll, with
// another one on PATH: neither is ever loaded, and the session runs as with
// no driver at all.
TEST(NoPortDriver, DriverInTheCurrentFolderOrOnPathIsNeverLoaded)
{
    ScenarioRun run = runScenarioText("driver-elsewhere", std::string("driver elsewhere\n") + FULL_SESSION);
    expectHostUnharmed(run);
    Lines events = run.events();
    EXPECT_EQ(driverRequests(events), (Lines{"<plug-in folder>\\inpout32.dll", "<system folder>\\inpout32.dll"}));
    // The stand-in marks every mapping of itself: there was none.
    EXPECT_EQ(countPrefix(events, "driver loaded from "), 0);
    EXPECT_EQ(countLines(events, "driver loaded by the plug-in"), 0);
    EXPECT_TRUE(run.ports().empty());
    EXPECT_TRUE(run.transfers().empty());
    EXPECT_EQ(countLines(events, "init 0"), 1);
    EXPECT_EQ(countLines(events, "dialog end 0"), 3);
    EXPECT_EQ(countLines(events, "wndproc restored"), 1);
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=1", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}

// No driver beside the plug-in: the one in the Windows system folder is
// loaded, by its full path, and drives the display.
TEST(PortDriver, TheSystemFolderCopyIsUsedWhenThePluginFolderHasNone)
{
    ScenarioRun run = runScenarioText("driver-system", std::string("driver system\n") + FULL_SESSION +
                                                           "snapshot end\n");
    expectCleanRun(run);
    EXPECT_FALSE(run.hasPluginFile("inpout32.dll"));
    Lines events = run.events();
    EXPECT_EQ(driverRequests(events), (Lines{"<plug-in folder>\\inpout32.dll", "<system folder>\\inpout32.dll"}));
    EXPECT_EQ(countLines(events, "driver loaded from <run folder>\\system\\inpout32.dll"), 1);
    EXPECT_GT(run.transfers().size(), 6000u);
    EXPECT_EQ(run.textRow("end", 1).substr(4, 24), "Winamp has been shutdown");
}

// The usual place: beside the plug-in, the first and only copy asked for.
TEST(PortDriver, ThePluginFolderCopyIsAskedForFirstAndAlone)
{
    ScenarioRun run = runScenarioText("driver-plugin-folder", "start\nquit\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(driverRequests(events), (Lines{"<plug-in folder>\\inpout32.dll"}));
    EXPECT_EQ(countLines(events, "driver loaded from <plug-in folder>\\inpout32.dll"), 1);
    EXPECT_EQ(countPrefix(events, "driver loaded from "), 1);
    EXPECT_GT(run.transfers().size(), 6000u);
}

// While the probe's handler is first in the chain, another thread of the
// host faults on an "in al, dx" of its own under the host's own handler:
// the probe steps over its own instruction only, so that fault reaches the
// host, and the probe still finds that direct I/O faults here.
TEST(NoPortDriver, AFaultOfAnotherThreadDuringTheProbeReachesTheHostsHandler)
{
    ScenarioRun run = runScenarioText("probe-other-thread", "driver off\nfault-during-probe\n"
                                                            "title 1. A - B - Winamp\nstart\ntick\nquit\n");
    expectHostUnharmed(run);
    Lines events = run.events();
    int added = findLine(events, "vectored handler added by the plug-in");
    ASSERT_NE(added, -1);
    EXPECT_EQ(events.at(added + 1), "another thread's fault reached the host's handler");
    EXPECT_EQ(countPrefix(events, "another thread's fault"), 1);
    EXPECT_TRUE(run.ports().empty());
    EXPECT_EQ(countLines(events, "killtimer 1"), 1);
}

// The direct-I/O path is for systems older than the vectored exception
// handlers it probes with; the module must still load there, so nothing
// newer than Windows 2000 may be in its import table.
TEST(NoPortDriver, PluginImportsNoKernelFunctionNewerThanWindows2000)
{
    std::string dump = peDump(windowsTreePath("plugin-files/gen_pixelvane.dll"));
    ASSERT_NE(dump.find("GetModuleFileNameA"), std::string::npos) << "no import table in the dump";
    for (const char *name : {"AddVectoredExceptionHandler", "RemoveVectoredExceptionHandler", "GetModuleHandleExA"})
        EXPECT_EQ(dump.find(name), std::string::npos) << "imports " << name;
}
