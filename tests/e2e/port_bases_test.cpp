// Which port bases from plugin.ini the plug-in drives: 632, 888 and 956
// always, any other only where the system lists a parallel port there.
// Elsewhere not a single port is touched, and the value stays as read.
#include "e2e_support.h"

#include <gtest/gtest.h>

namespace {

ScenarioRun runWithPort(const std::string &name, int base, const std::string &before,
                        const std::string &after = "click 2\nend\ntick\nquit\n")
{
    writeScenarioFile(name + ".ini", "[Pixelvane]\r\nLPTx=" + std::to_string(base) + "\r\n");
    return runScenarioText(name, before + "install plugin.ini " + name + ".ini\ntitle 1. A - B - Winamp\n"
                                          "start\ntick\nconfig\ninspect\n" + after);
}

const Lines RULE_SHOWS_278 = {"1007 0", "1008 0", "1009 1", "1010 1", "1014 0", "1015 0"};

} // namespace

TEST(PortBases, BasesWhereNoParallelPortSitsReachNoPortAndStayAsRead)
{
    struct Case {
        const char *what;
        int base;
    } cases[] = {
        {"reset control at 0xCF9", 3319},
        {"disk controller", 0x1F0},
        {"serial port the system lists as COM1", 0x3F8},
        {"keyboard controller", 0x60},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScenarioRun run = runWithPort("port-base-" + std::to_string(c.base), c.base, "listed-port COM1 1016\n");
        expectHostUnharmed(run);
        EXPECT_TRUE(run.ports().empty()) << run.ports().front();
        EXPECT_TRUE(run.transfers().empty());
        EXPECT_EQ(buttonStates(run), RULE_SHOWS_278);
        EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
                  (Lines{"LPTx=" + std::to_string(c.base), "NoIntro=0", "Disable LCD=0", "Time Remaining=1"}));
        // The system was asked once; the session otherwise ran as usual.
        Lines events = run.events();
        EXPECT_EQ(countLines(events, "system lists its ports"), 1);
        EXPECT_EQ(countLines(events, "killtimer 1"), 1);
        EXPECT_EQ(countLines(events, "dialog end 0"), 1);
    }
}

TEST(PortBases, ACardTheSystemListsAt700IsDrivenAsAStandardOne)
{
    ScenarioRun run = runWithPort("port-base-700-card", 700, "lpt 700\n", "click 2\nend\ntick\nsnapshot end\nquit\n");
    expectCleanRun(run);
    Lines ports = run.ports();
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports[0], "in 02BE CC");
    EXPECT_GT(run.transfers().size(), 6000u);
    EXPECT_EQ(run.textRow("end", 1).substr(4, 1), "A");
    EXPECT_EQ(buttonStates(run), RULE_SHOWS_278);
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"LPTx=700", "NoIntro=0", "Disable LCD=0", "Time Remaining=1"}));
}

// A second parallel port the system lists, with no card behind it: the
// plug-in drives its registers (the emulated card at 888 sees none of it).
TEST(PortBases, AListedPortWithoutACardIsDrivenAndAnUnlistedOneIsNot)
{
    ScenarioRun listed = runWithPort("port-base-700-listed", 700, "listed-port LPT2 700\n");
    expectHostUnharmed(listed);
    Lines ports = listed.ports();
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports[0], "in 02BE FF");
    EXPECT_TRUE(listed.transfers().empty());

    ScenarioRun unlisted = runWithPort("port-base-700-unlisted", 700, "");
    expectHostUnharmed(unlisted);
    EXPECT_TRUE(unlisted.ports().empty());
    EXPECT_EQ(settingsEntries(unlisted.pluginFile("plugin.ini")),
              (Lines{"LPTx=700", "NoIntro=0", "Disable LCD=0", "Time Remaining=1"}));
}

// The bus reads the base on every access: once the dialog's OK switches
// from an unlisted base to 378H, the traffic reaches the card there.
TEST(PortBases, TheDialogsSwitchToAStandardBaseTakesEffectAtOnce)
{
    // The module at 0x378 was never set up: the classic bus draws on it as
    // it stands, the fast bus sets it up first, so only the classic run counts.
    writeScenarioFile("port-base-switch.ini", "[Pixelvane]\r\nLPTx=3319\r\n");
    ScenarioRun run = runClassicBusScenarioText("port-base-switch",
                                                "install plugin.ini port-base-switch.ini\ntitle 1. A - B - Winamp\n"
                                                "start\ntick\nconfig\ninspect\ncounts before\nclick 1014\nclick 1\n"
                                                "end\ncounts accepted\nquit\n");
    expectHostUnharmed(run);
    Lines ports = run.ports();
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports[0], "in 037A CC") << "the first access is the OK picture's, at 0x378";
    EXPECT_EQ(countPrefix(ports, "out 0CF"), 0);
    EXPECT_EQ(countPrefix(ports, "in 0CF"), 0);
    EXPECT_EQ(countLines(run.events(), "counts before accesses 0 transfers 0"), 1);
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"LPTx=888", "NoIntro=0", "Disable LCD=0", "Time Remaining=1"}));
}
