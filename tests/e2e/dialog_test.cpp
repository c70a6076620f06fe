// The settings dialog, driven as a user would, with the real plug-in.
#include "e2e_support.h"

#include <gtest/gtest.h>

static ScenarioRun openWith(const std::string &name, const std::string &ini)
{
    writeScenarioFile(name + ".ini", "[Pixelvane]\r\n" + ini);
    return runScenarioText(name, "install plugin.ini " + name + ".ini\nstart\nconfig\ninspect\nclick 2\nend\n");
}

TEST(Dialog, OpensWithTheBoxesAndPortOfTheSettings)
{
    struct Case {
        const char *name;
        const char *ini;
        Lines expected;
    } cases[] = {
        {"dialog-open-zeros", "Disable LCD=0\r\nNoIntro=0\r\nTime Remaining=0\r\nLPTx=632\r\n",
         {"1007 0", "1008 0", "1009 0", "1010 1", "1014 0", "1015 0"}},
        {"dialog-open-ones", "Disable LCD=1\r\nNoIntro=1\r\nTime Remaining=1\r\nLPTx=888\r\n",
         {"1007 1", "1008 1", "1009 1", "1010 0", "1014 1", "1015 0"}},
        {"dialog-open-sevens", "Disable LCD=7\r\nNoIntro=7\r\nTime Remaining=7\r\nLPTx=956\r\n",
         {"1007 1", "1008 1", "1009 1", "1010 0", "1014 0", "1015 1"}},
        {"dialog-open-700", "LPTx=700\r\n", {"1007 0", "1008 0", "1009 1", "1010 1", "1014 0", "1015 0"}},
    };
    for (const Case &c : cases) {
        ScenarioRun run = openWith(c.name, c.ini);
        ASSERT_EQ(run.exitStatus, 0) << c.name << ": " << run.errorOutput;
        EXPECT_EQ(buttonStates(run), c.expected) << c.name;
        Lines events = run.events();
        EXPECT_NE(findLine(events, "dialog open"), -1);
        EXPECT_NE(findLine(events, "dialog end 0"), -1);
    }
}

TEST(Dialog, OkStoresTheBoxesAndThePort)
{
    writeScenarioFile("port700.ini", "[Pixelvane]\r\nLPTx=700\r\n");
    ScenarioRun untouched = runScenarioText("dialog-ok-700", "install plugin.ini port700.ini\nstart\n"
                                                             "config\nclick 1\nend\nquit\n");
    ASSERT_EQ(untouched.exitStatus, 0) << untouched.errorOutput;
    EXPECT_EQ(settingsEntries(untouched.pluginFile("plugin.ini")),
              (Lines{"LPTx=632", "NoIntro=0", "Disable LCD=0", "Time Remaining=1"}));

    ScenarioRun changed = runScenarioText("dialog-ok-changed",
                                          "start\nconfig\nclick 1008\nclick 1009\nclick 1015\nclick 1\nend\nquit\n");
    ASSERT_EQ(changed.exitStatus, 0) << changed.errorOutput;
    EXPECT_EQ(settingsEntries(changed.pluginFile("plugin.ini")),
              (Lines{"NoIntro=1", "Disable LCD=0", "Time Remaining=0", "LPTx=956"}));
}

TEST(Dialog, OkClearsTheTextAndWithDisableLcdTicksLeaveTheDisplayAlone)
{
    ScenarioRun run = runScenarioText("dialog-ok-disable",
                                      "title 1. Some Artist - Some Song - Winamp\nanswer 104 1\n"
                                      "start\ntick\nsnapshot playing\nconfig\nclick 1007\nclick 1\nend\n"
                                      "snapshot accepted\ntick 3\nsnapshot later\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(run.textRow("playing", 1).substr(4, 11), "Some Artist");
    for (int row = 0; row < 8; row++)
        EXPECT_EQ(run.textRow("accepted", row), std::string(40, ' ')) << "row " << row;
    std::vector<unsigned char> accepted = run.ram("accepted");
    ASSERT_EQ(accepted.size(), 8192u);
    int lit = 0;
    for (int address = 0x0200; address < 0x0C00; address++)
        lit += accepted[address] != 0;
    EXPECT_GT(lit, 0) << "the settings picture is on the display";
    EXPECT_EQ(run.ram("accepted"), run.ram("later"));
}

TEST(Dialog, CancelAndTheCloseBoxKeepEverySetting)
{
    const std::string ini = "[Pixelvane]\r\nDisable LCD=0\r\nNoIntro=0\r\nTime Remaining=7\r\nLPTx=888\r\n";
    writeScenarioFile("cancel.ini", ini);
    const struct {
        const char *name;
        const char *how;
    } ways[] = {{"dialog-cancel-button", "click 2"}, {"dialog-cancel-caption", "close"}};
    for (const auto &way : ways) {
        std::string name = way.name, how = way.how;
        ScenarioRun run = runScenarioText(name, "install plugin.ini cancel.ini\nstart\nconfig\n"
                                                "click 1007\nclick 1008\nclick 1009\nclick 1010\n" +
                                                    how + "\nend\nquit\n");
        ASSERT_EQ(run.exitStatus, 0) << name << ": " << run.errorOutput;
        EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
                  (Lines{"Disable LCD=0", "NoIntro=0", "Time Remaining=7", "LPTx=888"}))
            << name;
    }
}

TEST(Dialog, IntroButtonFreezesTheStatusOverTheIntroUntilOk)
{
    ScenarioRun run = runScenarioText("dialog-intro",
                                      "title 1. First Artist - First Song - Winamp\nanswer 104 1\n"
                                      "start\ntick\nconfig\nclick 3\nsnapshot intro\n"
                                      "title 2. Second Artist - Second Song - Winamp\ntick 2\nsnapshot frozen\n"
                                      "click 1\nend\ntick\nsnapshot thawed\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(run.textRow("intro", 1).substr(4, 12), "First Artist");
    EXPECT_EQ(run.ram("intro"), run.ram("frozen"));
    EXPECT_EQ(run.textRow("thawed", 1).substr(4, 13), "Second Artist");
}

TEST(Dialog, AboutScreenShowsItsFiveTexts)
{
    ScenarioRun run = runScenarioText("dialog-about", "start\nconfig\nclick 1011\nsnapshot about\n"
                                                      "tick 2\nsnapshot still\nclick 2\nend\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(run.textRow("about", 0).substr(0, 13), "Programming: ");
    EXPECT_EQ(run.textRow("about", 1).substr(0, 15), "Special thanx: ");
    EXPECT_EQ(run.textRow("about", 2).substr(0, 10), "Software: ");
    EXPECT_EQ(run.textRow("about", 3).substr(0, 8), "E-Mail: ");
    EXPECT_EQ(run.textRow("about", 5).substr(0, 18), "  Take a visit at:");
    EXPECT_EQ(run.ram("about"), run.ram("still")) << "ticks do not draw over the about screen";
}

TEST(Dialog, MailAndWebButtonsAskTheShellToOpenThem)
{
    ScenarioRun run = runScenarioText("dialog-links", "start\nconfig\nclick 1012\nclick 1013\nclick 2\nend\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    Lines events = run.events();
    ASSERT_EQ(countPrefix(events, "shell open mailto:"), 1);
    ASSERT_EQ(countPrefix(events, "shell open http"), 1);
}

// The radio buttons are one Tab stop, on the checked one (the button
// control moves WS_TABSTOP with the check), and the arrows move the check
// among the three, wrapping round inside them.
TEST(Dialog, PortButtonsAreOneTabStopAndTheArrowsMoveInsideTheGroup)
{
    ScenarioRun run = runScenarioText("dialog-keys", "start\nconfig\n"
                                                     "focus 1009\nkey tab\ninspect\nkey tab\ninspect\n"
                                                     "focus 1014\nkey down\ninspect\nkey down\ninspect\n"
                                                     "key up\ninspect\nfocus 1009\nkey tab\ninspect\n"
                                                     "click 1\nend\nquit\n");
    expectCleanRun(run);
    Lines focus, stops;
    for (const std::string &line : run.events()) {
        if (line.compare(0, 6, "focus ") == 0)
            focus.push_back(line.substr(6));
        if (line.compare(0, 10, "tab stops ") == 0)
            stops.push_back(line.substr(10));
    }
    // From the last check box Tab reaches the checked port, then wraps to OK.
    EXPECT_EQ(focus, (Lines{"1014", "1", "1015", "1010", "1015", "1015"}));
    const std::string others = "1 2 3 1011 1012 1013 1007 1008 1009 ";
    EXPECT_EQ(stops, (Lines{others + "1014", others + "1014", others + "1015", others + "1010", others + "1015",
                            others + "1015"}));
    // The arrows checked what they reached: OK stored 3BCH.
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"NoIntro=0", "Disable LCD=0", "Time Remaining=1", "LPTx=956"}));
}
