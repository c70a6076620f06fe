// Paths in a scenario as it is written on Linux: '/' between folders, and
// "..", both reaching the host simulator's file steps.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(ScenarioPaths, InstallTakesSourcesWithSlashesBackslashesAndDotDot)
{
    std::system(("mkdir -p '" + outputPath("nested/deeper") + "'").c_str());
    writeScenarioFile("nested/slashed.ini", "[Pixelvane]\r\nNoIntro=1\r\nTime Remaining=0\r\n");
    writeScenarioFile("nested/empty-about.bmp", "");
    ScenarioRun run = runScenarioText("paths-slashes", "install plugin.ini nested/deeper/../slashed.ini\n"
                                                       "install LCDAbout.bmp nested\\deeper/..\\empty-about.bmp\n"
                                                       "start\nconfig\ninspect\nclick 2\nend\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    // The settings of the installed file are the ones in force.
    EXPECT_EQ(buttonStates(run), (Lines{"1007 0", "1008 1", "1009 0", "1010 0", "1014 1", "1015 0"}));
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=1", "Time Remaining=0", "Disable LCD=0", "LPTx=888"}));
    // The shipped about picture was replaced by the empty one.
    EXPECT_TRUE(run.hasPluginFile("LCDAbout.bmp"));
    EXPECT_EQ(run.pluginFile("LCDAbout.bmp"), "");
}
