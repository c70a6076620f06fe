// Settings files no dialog would write, a file another program holds
// open, and a plug-in folder too long for the path buffers.
#include "e2e_support.h"

#include <gtest/gtest.h>

namespace {

// Starts with `ini` as the settings file, shows the dialog's boxes,
// cancels, ticks and quits.
ScenarioRun runWith(const std::string &name, const std::string &ini, const std::string &before = "")
{
    writeScenarioFile(name + ".ini", ini);
    return runScenarioText(name, before + "install plugin.ini " + name + ".ini\nstart\n"
                                          "config\ninspect\nclick 2\nend\ntick\nquit\n");
}

const Lines DEFAULT_BUTTONS = {"1007 0", "1008 0", "1009 1", "1010 0", "1014 1", "1015 0"};

} // namespace

TEST(HostileSettings, GarbageValuesAreTakenAsReadAndAPortBaseWithoutAParallelPortTouchesNoPort)
{
    ScenarioRun run = runWith("settings-garbage", "[Pixelvane]\r\nDisable LCD=abc\r\nNoIntro=-5\r\n"
                                                  "Time Remaining=99999999999\r\nLPTx=-1\r\n");
    expectHostUnharmed(run);
    // Text reads as 0; any other value counts as set. The port -1 is none
    // of the dialog's three: its rule shows 278H.
    EXPECT_EQ(buttonStates(run), (Lines{"1007 0", "1008 1", "1009 1", "1010 1", "1014 0", "1015 0"}));
    Lines entries = settingsEntries(run.pluginFile("plugin.ini"));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0], "Disable LCD=0");
    EXPECT_EQ(entries[1], "NoIntro=-5");
    EXPECT_NE(entries[2], "Time Remaining=0");
    EXPECT_EQ(entries[3], "LPTx=-1");
    // Port -1 would be 0xFFFF, its control register wrapping round to the
    // DMA controller at 0x0001: no parallel port sits there, so not a single
    // port is touched, as with no driver.
    EXPECT_TRUE(run.ports().empty());
    EXPECT_TRUE(run.transfers().empty());
}

TEST(HostileSettings, PortsBelowOrBeyond16BitsTouchNoPortAndNumbersWithTrailingTextCount)
{
    ScenarioRun run = runWith("settings-wrap", "[Pixelvane]\r\nLPTx=66424\r\nNoIntro=1x\r\nTime Remaining= 0\r\n");
    expectHostUnharmed(run);
    EXPECT_EQ(buttonStates(run), (Lines{"1007 0", "1008 1", "1009 0", "1010 1", "1014 0", "1015 0"}));
    // 66424 is 888 cut to 16 bits, but it is not 888: the value is taken as
    // read, no port is touched, and the file keeps it.
    EXPECT_TRUE(run.ports().empty());
    EXPECT_EQ(settingsEntries(run.pluginFile("plugin.ini")),
              (Lines{"LPTx=66424", "NoIntro=1", "Time Remaining=0", "Disable LCD=0"}));
    // A base of 0xFFFD has room for the three registers, but the system
    // lists no parallel port there.
    ScenarioRun high = runWith("settings-high-port", "[Pixelvane]\r\nLPTx=65533\r\n");
    expectHostUnharmed(high);
    EXPECT_TRUE(high.ports().empty());
    EXPECT_EQ(settingsEntries(high.pluginFile("plugin.ini")),
              (Lines{"LPTx=65533", "NoIntro=0", "Disable LCD=0", "Time Remaining=1"}));
}

TEST(HostileSettings, FileWithoutTheSectionOrWithoutTextKeepsTheDefaultsAndItsOwnContent)
{
    ScenarioRun other = runWith("settings-other-section", "[Other]\r\nNoIntro=1\r\nLPTx=632\r\n");
    expectHostUnharmed(other);
    EXPECT_EQ(buttonStates(other), DEFAULT_BUTTONS);
    const std::string otherSection = "[Other]\r\nNoIntro=1\r\nLPTx=632\r\n";
    std::string ini = other.pluginFile("plugin.ini");
    EXPECT_EQ(ini.compare(0, otherSection.size(), otherSection), 0) << ini;
    EXPECT_EQ(settingsEntries(ini), (Lines{"NoIntro=0", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));

    std::string noise;
    for (int i = 0; i < 2048; i++)
        noise += (char)((i * 37 + 11) % 256);
    ScenarioRun binary = runWith("settings-binary", noise);
    expectHostUnharmed(binary);
    EXPECT_EQ(buttonStates(binary), DEFAULT_BUTTONS);
    EXPECT_EQ(settingsEntries(binary.pluginFile("plugin.ini")),
              (Lines{"NoIntro=0", "Disable LCD=0", "Time Remaining=1", "LPTx=888"}));
}

TEST(HostileSettings, FileHeldOpenElsewhereKeepsItsContentsAndTheSettingsInMemory)
{
    const std::string ini = "[Pixelvane]\r\nNoIntro=0\r\nLPTx=888\r\n";
    writeScenarioFile("settings-locked.ini", ini);
    ScenarioRun run = runScenarioText("settings-locked", "install plugin.ini settings-locked.ini\nstart\n"
                                                         "config\nclick 1008\nclick 1\nend\n"
                                                         "lock plugin.ini\nquit\n"
                                                         "config\ninspect\nclick 2\nend\n");
    expectHostUnharmed(run);
    EXPECT_NE(findLine(run.events(), "locked plugin.ini"), -1);
    EXPECT_EQ(run.pluginFile("plugin.ini"), ini);
    // The box ticked before the failed write is still ticked after it.
    EXPECT_EQ(buttonStates(run), (Lines{"1007 0", "1008 1", "1009 1", "1010 0", "1014 1", "1015 0"}));
}

// The module path no longer fits the settings path buffer: no settings
// file is read or written, rather than a wrong one; the pictures, which
// have a wider buffer, still play, and a missing one is reported within
// the text area. The driver's path beside the plug-in is longer than
// Windows' loader takes, so the driver here is the system folder's.
TEST(HostileSettings, PluginFolderTooLongForThePathBufferReadsAndWritesNoSettings)
{
    const std::string part(100, 'p');
    const std::string folder = part + "/" + part + "/" + part;
    const std::string ini = "[Pixelvane]\r\nTime Remaining=0\r\n";
    writeScenarioFile("settings-long.ini", ini);
    ScenarioRun run = runScenarioText("settings-long-folder",
                                      "driver system\nfolder " + folder + "\ninstall plugin.ini settings-long.ini\n"
                                      "remove LCDLIntro.bmp\n"
                                      "title 1. Deep - Down - Winamp\nanswer 105 0 75000\nanswer 105 1 200\n"
                                      "start\nsnapshot started\ntick\nsnapshot ticked\n"
                                      "config\nclick 1011\nsnapshot about\nclick 1\nend\nquit\n");
    expectHostUnharmed(run);
    EXPECT_EQ(countPrefix(run.events(), "fault "), 0);
    EXPECT_EQ(run.pluginFile(folder + "/plugin.ini"), ini);

    // The missing intro's path is cut at the last text cell; the graphics
    // area, cleared at start-up, stays clear.
    std::vector<unsigned char> ram = run.ram("started");
    ASSERT_EQ(ram.size(), 8192u);
    for (int a = 0x0140; a < 0x0C00; a++)
        ASSERT_EQ(ram[a], 0) << "address " << a;
    EXPECT_EQ(run.textRow("started", 7).substr(36), "pppp");

    // "Time Remaining=0" was not read: the remaining time shows.
    EXPECT_EQ(run.textRow("ticked", 6).substr(4, 11), "02:05/03:20");
    // The about picture in the long folder did play.
    std::vector<unsigned char> about = run.ram("about");
    ASSERT_EQ(about.size(), 8192u);
    int lit = 0;
    for (int a = 0x0200; a < 0x0C00; a++)
        lit += about[a] != 0;
    EXPECT_GT(lit, 100);
}

// Past even the pictures' wider buffer the module's folder is unknown: the
// pictures are looked for under their bare names, the description holds
// what fitted of the path, and the host still runs.
TEST(HostileSettings, PluginFolderTooLongForEveryBufferStillRuns)
{
    const std::string part(200, 'q');
    const std::string folder = part + "/" + part + "/" + part;
    ScenarioRun run = runScenarioText("settings-longest-folder",
                                      "driver system\nfolder " + folder +
                                          "\ntitle 1. A - B - Winamp\nstart\nsnapshot started\n"
                                      "tick\nconfig\nclick 1\nend\nquit\n");
    expectHostUnharmed(run);
    EXPECT_FALSE(run.hasPluginFile(folder + "/plugin.ini"));
    EXPECT_EQ(run.textRow("started", 5), "    LCDLIntro.bmp                       ");
    EXPECT_EQ(countPrefix(run.events(), "description Pixelvane Plug-In v1.1 ("), 1);
    EXPECT_GT(run.transfers().size(), 6000u) << "the driver from the system folder drives the display";
}
