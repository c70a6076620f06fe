// The settings file beside the module: read at start-up, written at
// shut-down, and nowhere else.
#include "e2e_support.h"

#include <gtest/gtest.h>

TEST(SettingsFile, NoFileKeepsTheDefaultsAndShutDownWritesThemInOrder)
{
    ScenarioRun run = runScenarioText("settings-none", "start\nsnapshot started\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    // Port 888: the traffic went to 0x378/0x37A.
    EXPECT_EQ(run.ports().at(0), "in 037A CC");
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=0", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}

TEST(SettingsFile, PortFromTheFileReceivesTheTrafficAndOtherKeysKeepDefaults)
{
    writeScenarioFile("only-port.ini", "[Pixelvane]\r\nLPTx=956\r\n");
    ScenarioRun run = runScenarioText("settings-port", "lpt 956\ninstall plugin.ini only-port.ini\nstart\n"
                                                       "snapshot started\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    Lines ports = run.ports();
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports[0], "in 03BE CC");
    EXPECT_EQ(countPrefix(ports, "out 037"), 0);
    EXPECT_GT(run.transfers().size(), 6000u) << "the emulated port at 956 got the start-up traffic";
    EXPECT_EQ(countPrefix(run.events(), "fault "), 0);
    // The existing section keeps its key order; the missing keys follow.
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"LPTx=956", "NoIntro=0", "Disable LCD=0", "Time Remaining=1"}));
}

TEST(SettingsFile, ValuesAreWrittenBackAsReadUnlessOkStoredNewOnes)
{
    const std::string ini = "[Pixelvane]\r\nTime Remaining=7\r\nLPTx=888\r\nDisable LCD=0\r\nNoIntro=0\r\n";
    writeScenarioFile("seven.ini", ini);
    ScenarioRun kept = runScenarioText("settings-seven", "install plugin.ini seven.ini\nstart\nquit\n");
    ASSERT_EQ(kept.exitStatus, 0) << kept.errorOutput;
    EXPECT_EQ(settingsEntries(kept.pluginFile("plugin.ini")),
              (Lines{"Time Remaining=7", "LPTx=888", "Disable LCD=0", "NoIntro=0"}));

    ScenarioRun accepted = runScenarioText("settings-seven-ok", "install plugin.ini seven.ini\nstart\n"
                                                                "config\ninspect\nclick 1\nend\nquit\n");
    ASSERT_EQ(accepted.exitStatus, 0) << accepted.errorOutput;
    EXPECT_EQ(countLines(accepted.events(), "button 1009 1"), 1) << "7 shows as ticked";
    EXPECT_EQ(settingsEntries(accepted.pluginFile("plugin.ini")),
              (Lines{"Time Remaining=1", "LPTx=888", "Disable LCD=0", "NoIntro=0"}));
}

TEST(SettingsFile, DialogChangesReachTheFileOnlyAtShutDown)
{
    ScenarioRun run = runScenarioText("settings-not-before-quit",
                                      "start\nconfig\nclick 1008\nclick 1\nend\ntick 2\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_FALSE(run.hasPluginFile("plugin.ini"));

    ScenarioRun quit = runScenarioText("settings-at-quit", "start\nconfig\nclick 1008\nclick 1\nend\nquit\n");
    ASSERT_EQ(quit.exitStatus, 0) << quit.errorOutput;
    EXPECT_EQ(settingsEntries(quit.pluginFile("plugin.ini")),
              (Lines{"NoIntro=1", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}

TEST(SettingsFile, DisabledLcdIgnoresTicksButShowsTheShutDownScreen)
{
    writeScenarioFile("disabled.ini", "[Pixelvane]\r\nDisable LCD=1\r\n");
    ScenarioRun run = runScenarioText("settings-disabled",
                                      "install plugin.ini disabled.ini\n"
                                      "title 1. Some Artist - Some Song - Winamp\nanswer 104 1\n"
                                      "start\nsnapshot before\ntick 3\nsnapshot after\nquit\nsnapshot quit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(run.ram("before"), run.ram("after"));
    EXPECT_EQ(run.textRow("quit", 1).substr(4, 24), "Winamp has been shutdown");
    EXPECT_EQ(run.textRow("quit", 2).substr(4, 22), "please turn off LCD...");
}

// The opt-in keys are read but never written: a file that has them keeps
// them as they stand, and a file the plug-in creates never gains them.
TEST(SettingsFile, OptInKeysAreKeptAsWrittenAndNeverAdded)
{
    const std::string ini = "[Pixelvane]\r\nFast Bus=0\r\nLetters=0\r\nFast Bus Pace=7\r\nLPTx=888\r\n";
    writeScenarioFile("opt-ins.ini", ini);
    ScenarioRun run = runScenarioText("settings-opt-ins", "install plugin.ini opt-ins.ini\nstart\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"Fast Bus=0", "Letters=0", "Fast Bus Pace=7", "LPTx=888", "NoIntro=0", "Disable LCD=0",
                     "Time Remaining=1"}));
}
