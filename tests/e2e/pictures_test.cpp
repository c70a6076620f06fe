// The shipped pictures played by the real plug-in, and a missing one.
#include "e2e_support.h"

#include <gtest/gtest.h>

TEST(Pictures, IntroEndsOnTheStatusBackgroundUnderTheTexts)
{
    ScenarioRun intro = runScenarioText("pictures-intro", "title 1. Band - Tune - Winamp\nanswer 104 1\n"
                                                          "start\ntick\nsnapshot intro\n");
    writeScenarioFile("skip-intro.ini", "[Pixelvane]\r\nNoIntro=1\r\n");
    ScenarioRun menu = runScenarioText("pictures-menu", "install plugin.ini skip-intro.ini\n"
                                                        "title 1. Band - Tune - Winamp\nanswer 104 1\n"
                                                        "start\ntick\nsnapshot menu\n");
    ASSERT_EQ(intro.exitStatus, 0) << intro.errorOutput;
    ASSERT_EQ(menu.exitStatus, 0) << menu.errorOutput;
    EXPECT_EQ(intro.ram("intro"), menu.ram("menu"));
    EXPECT_EQ(intro.textRow("intro", 1).substr(4, 4), "Band");
    EXPECT_EQ(countPrefix(intro.events(), "fault "), 0);
}

TEST(Pictures, MissingIntroPrintsItsPathAndThePlugInKeepsRefreshing)
{
    ScenarioRun run = runScenarioText("pictures-missing", "remove LCDLIntro.bmp\ntitle 1. Band - Tune - Winamp\n"
                                                          "answer 104 1\nstart\nsnapshot missing\ntick\n"
                                                          "snapshot refreshed\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(countPrefix(run.events(), "exit "), 0);
    std::string rows = run.textRow("missing", 5) + run.textRow("missing", 6) + run.textRow("missing", 7);
    EXPECT_NE(rows.find("LCDLIntro.bmp"), std::string::npos) << rows;
    EXPECT_EQ(run.textRow("refreshed", 1).substr(4, 4), "Band");
}
