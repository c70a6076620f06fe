// The fast bus on the real plug-in: "Fast Bus=1" in plugin.ini. Every
// other scenario of this suite also runs with it and must draw the same
// (see runScenario); these are what only the fast bus does.
#include "e2e_support.h"

#include <gtest/gtest.h>

TEST(FastBus, DemoTourDrawsTheSameInBothModes)
{
    ScenarioRun run = runScenarioAt("fast-bus-demo", "scripts/demo.scn");
    expectCleanRun(run);
    EXPECT_EQ(run.textRow("11-shutdown", 1).substr(4, 24), "Winamp has been shutdown");
}

// Only the cells that change go out, and nothing at all when nothing
// changed, whether the screen is the status, a dialog screen holding the
// refresh off, or a display switched off.
TEST(FastBus, TicksSendOnlyWhatChangedAndNothingWhileTheDisplayIsHeldOrOff)
{
    ScenarioRun run = runFastBusScenarioText(
        "fast-bus-ticks", "title 1. First Artist - Opening Song - Winamp\nanswer 104 1\n"
                          "answer 105 0 75000\nanswer 105 1 200\nstart\ntick\ncounts playing\n"
                          "tick 3\ncounts same\nanswer 105 0 76000\ntick\ncounts digit\n"
                          "config\nclick 1011\ncounts about\ntick 3\ncounts held\n"
                          "click 1007\nclick 1\nend\ncounts accepted\ntick 3\ncounts off\nquit\n");
    expectCleanRun(run);
    EXPECT_EQ(accessesBetween(run, "playing", "same"), 0);
    // 02:05 remaining becomes 02:04: one cell, its address and one write.
    EXPECT_EQ(accessesBetween(run, "same", "digit"), 19);
    EXPECT_EQ(accessesBetween(run, "about", "held"), 0);
    EXPECT_EQ(accessesBetween(run, "accepted", "off"), 0);
    // The control register was read once, at start-up, and never again.
    EXPECT_EQ(countPrefix(run.ports(), "in "), 1);
}

// The dialog moves the plug-in to the port where the module is: the fast
// bus reads that port's control register once and sends it everything, so
// the module shows what a module on that port from the start would.
TEST(FastBus, PortChangedInTheDialogGetsTheWholeDisplay)
{
    const std::string steps = "title 1. Band - Tune - Winamp\nanswer 104 1\nstart\ntick\n"
                              "config\nclick 1015\nclick 1\nend\ntick\nsnapshot moved\n";
    writeScenarioFile("fast-bus-port-3bc.ini", "[Pixelvane]\r\nLPTx=956\r\n");
    ScenarioRun there = runScenarioText("fast-bus-port-there", "lpt 956\ninstall plugin.ini fast-bus-port-3bc.ini\n" + steps);
    ScenarioRun moved = runFastBusScenarioText("fast-bus-port-moved", "lpt 956\n" + steps);
    expectCleanRun(there);
    expectCleanRun(moved);
    EXPECT_EQ(moved.ram("moved"), there.ram("moved"));
    EXPECT_EQ(moved.textRow("moved", 1).substr(4, 4), "Band");
    // One read of each port's control register: 0x37A at start-up (no card
    // there), 0x3BE after OK.
    Lines ports = moved.ports();
    EXPECT_EQ(countPrefix(ports, "in "), 2);
    EXPECT_EQ(countPrefix(ports, "in 037A"), 1);
    EXPECT_EQ(countPrefix(ports, "in 03BE"), 1);
}
