// pixelvane-panel.dll as the plug-in's port driver, under Wine: its window
// paints exactly the emulator's panel, follows the port, mirrors a real
// driver, remembers its settings, and neither closing it nor freeing the
// DLL harms the host.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <strings.h>

namespace {

const char TRACK[] = "title 1. Some Artist - Some Song - Winamp\n"
                     "answer 104 1\nanswer 105 0 75000\nanswer 105 1 200\nanswer 126 0 44\n";

// A whole session, with a look at the window after each step. The panel
// steps are removed again for the reference run with the stand-in.
const char SESSION[] = "start\n"
                       "panel-paint started\n"
                       "tick 2\n"
                       "panel-paint playing\n"
                       "snapshot playing\n"
                       "panel-menu copy\n"
                       "panel-clipboard\n"
                       "panel-save playing\n"
                       "config\n"
                       "click 3\n"
                       "panel-paint intro\n"
                       "click 1011\n"
                       "panel-paint about\n"
                       "click 2\n"
                       "end\n"
                       "tick\n"
                       "panel-paint after-dialog\n"
                       "counts before-close\n"
                       "panel-close\n"
                       "answer 105 0 80000\n"
                       "tick 2\n"
                       "counts after-close\n"
                       "panel-paint closed\n"
                       "quit\n"
                       "panel-paint quit\n"
                       "unload\n"
                       "panel-free\n"
                       "panel-end\n";

std::string withoutPanelSteps(const std::string &scenario)
{
    std::string kept;
    for (const std::string &line : lines(scenario))
        if (line.compare(0, 6, "panel-") != 0)
            kept += line + "\n";
    return kept;
}

// The value logged after "panel NAME WHAT ", or "" when missing.
std::string panelLine(const Lines &events, const std::string &name, const std::string &what)
{
    std::string prefix = "panel " + name + " " + what + " ";
    for (const std::string &line : events)
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    return "";
}

long long countAfter(const Lines &events, const std::string &label)
{
    std::string prefix = "counts " + label + " accesses ";
    for (const std::string &line : events)
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::stoll(line.substr(prefix.size()));
    return -1;
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}


} // namespace

TEST(VirtualPanel, AsThePortDriverItsWindowPaintsTheEmulatorsPanelAfterEveryStep)
{
    std::string session = std::string(TRACK) + SESSION;
    ScenarioRun run = runScenarioText("panel-session", "driver panel\n" + session);
    expectCleanRun(run);
    Lines events = run.events();

    for (const char *step : {"started", "playing", "intro", "about", "after-dialog", "closed", "quit"}) {
        EXPECT_EQ(panelLine(events, step, "paint"), "same scale 3") << step;
        EXPECT_EQ(panelLine(events, step, "title"), "Pixelvane virtual panel - port 0x378") << step;
        EXPECT_TRUE(contains(panelLine(events, step, "status"), "Port 0x378 | ")) << step;
        EXPECT_TRUE(contains(panelLine(events, step, "status"), " bytes latched | no faults")) << step;
    }
    EXPECT_EQ(panelLine(events, "playing", "visible"), "1");
    EXPECT_EQ(countLines(events, "panel clipboard same 720x192"), 1);
    EXPECT_EQ(countLines(events, "panel save playing written"), 1);
    EXPECT_EQ(readFile(run.outDir + "/playing.saved.png"), readFile(run.outDir + "/playing.png"));
    EXPECT_EQ(run.textRow("playing", 1).substr(4, 11), "Some Artist");

    // Closing hides the window; the player and the panel go on.
    EXPECT_EQ(countLines(events, "panel closed, window kept, visible 0"), 1);
    EXPECT_EQ(panelLine(events, "closed", "visible"), "0");
    EXPECT_GT(countAfter(events, "after-close"), countAfter(events, "before-close"));

    // Freed by the host, the DLL stays mapped while its window's thread
    // runs, and goes once that thread has ended.
    EXPECT_NE(findLine(events, "messages after unload delivered"), -1);
    EXPECT_NE(findLine(events, "panel freed, still mapped"), -1);
    EXPECT_NE(findLine(events, "panel window answers"), -1);
    EXPECT_NE(findLine(events, "panel ended, unmapped"), -1);

    // Byte for byte what the plug-in sends the stand-in.
    ScenarioRun reference = runScenarioText("panel-session-reference", withoutPanelSteps(session));
    expectCleanRun(reference);
    EXPECT_GT(run.transfers().size(), 50000u);
    EXPECT_EQ(run.transfers(), reference.transfers());
    EXPECT_EQ(run.ports(), reference.ports());
}

TEST(VirtualPanel, FollowsThePortTheDialogSwitchesToAndNamesTheLatestFault)
{
    // A control latch left with /WR, /CE and /RD asserted: the plug-in's
    // first strobe is a write while the read strobe is asserted. The ports
    // switched to were never set up, so this is the classic bus's story.
    ScenarioRun run = runClassicBusScenarioText("panel-ports", "driver panel\ncontrol 0x0F\n" + std::string(TRACK) +
                                                         "start\ntick\npanel-paint first\n"
                                                         "config\nclick 1010\nclick 1\nend\n"
                                                         "tick\npanel-paint second\n"
                                                         "config\nclick 1015\nclick 1\nend\n"
                                                         "answer 105 0 90000\ntick\npanel-paint third\n"
                                                         "snapshot third\n");
    expectHostUnharmed(run);
    Lines events = run.events();
    const char *steps[] = {"first", "second", "third"};
    const char *ports[] = {"0x378", "0x278", "0x3BC"};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(panelLine(events, steps[i], "paint"), "same scale 3") << steps[i];
        EXPECT_EQ(panelLine(events, steps[i], "title"), std::string("Pixelvane virtual panel - port ") + ports[i]);
        EXPECT_EQ(panelLine(events, steps[i], "status").compare(0, 13, std::string("Port ") + ports[i] + " | "), 0)
            << panelLine(events, steps[i], "status");
        EXPECT_TRUE(contains(panelLine(events, steps[i], "status"),
                             " | 1 fault, latest: write strobe while the read strobe is asserted"))
            << steps[i];
    }
    EXPECT_EQ(countPrefix(events, "fault "), 1);
    // The panel kept taking the bytes on each new port.
    EXPECT_EQ(run.textRow("third", 1).substr(4, 11), "Some Artist");
    EXPECT_EQ(run.textRow("third", 6).substr(4, 5), "01:50");
}

TEST(VirtualPanel, MirrorsEveryAccessToARealDriverAndShowsWhatItsModuleShows)
{
    // The real port's control latch powers up unlike the panel's own (0xCC):
    // the reads must come from the real port.
    ScenarioRun run = runScenarioText("panel-mirror", "driver panel-mirror\ncontrol 0xC4\n" + std::string(TRACK) +
                                                          "start\ntick 2\npanel-paint playing\n"
                                                          "config\nclick 1010\nclick 1\nend\n"
                                                          "tick\npanel-paint switched\nquit\n");
    expectCleanRun(run);
    Lines events = run.events();
    EXPECT_EQ(countPrefix(events, "panel fault "), 0);
    EXPECT_TRUE(run.hasPluginFile("inpout32.dll"));
    for (const char *step : {"playing", "switched"}) {
        EXPECT_EQ(panelLine(events, step, "paint"), "same scale 3") << step;
        // The real module stays on its port when the plug-in moves away.
        EXPECT_EQ(panelLine(events, step, "title"), "Pixelvane virtual panel - port 0x378, mirrored to inpout32.dll");
        EXPECT_TRUE(contains(panelLine(events, step, "status"), "Port 0x378 (mirrored) | "));
    }
    Lines ports = run.ports();
    ASSERT_GT(ports.size(), 100000u);
    EXPECT_EQ(ports[0], "in 037A C4");
    EXPECT_GT(countPrefix(ports, "out 027A "), 0);
    EXPECT_EQ(ports, lines(readFile(run.outDir + "/panel-ports.txt")));
    EXPECT_EQ(run.transfers(), lines(readFile(run.outDir + "/panel-transfers.txt")));
}

TEST(VirtualPanel, ScaleAndPaceComeFromTheFileBesideItAndMenuAndKeysChangeThem)
{
    struct Case {
        const char *name;
        const char *ini;       // "" for no file
        const char *scale;     // at the first look
        const char *pace;      // at the first look, "" for none
    };
    const Case cases[] = {
        {"panel-ini-none", "", "3", ""},
        {"panel-ini-set", "[Virtual panel]\r\nScale=2\r\nPace=5\r\nLeft=40\r\nTop=30\r\n", "2", ", paced 5 us"},
        {"panel-ini-hostile", "[Virtual panel]\r\nScale=99\r\nPace=7\r\nLeft=999999\r\nTop=x\r\n", "3", ""},
    };
    // Start-up without the intro: at 5 us per access it would take 3 s.
    writeScenarioFile("panel-no-intro.ini", "[Pixelvane]\r\nNoIntro=1\r\n");
    for (const Case &c : cases) {
        std::string install = "install plugin.ini panel-no-intro.ini\n";
        if (c.ini[0] != '\0') {
            // In a folder of its own, named with '/' as scenarios may.
            std::system(("mkdir -p '" + outputPath("panel-inis") + "'").c_str());
            writeScenarioFile("panel-inis/" + std::string(c.name) + ".ini", c.ini);
            install += "install pixelvane-panel.ini panel-inis/" + std::string(c.name) + ".ini\n";
        }
        ScenarioRun run = runScenarioText(c.name, "driver panel\n" + install + TRACK +
                                                      "start\npanel-paint first\n"
                                                      "panel-key 1\npanel-paint keyed\n"
                                                      "panel-menu scale 2\npanel-menu pace 0\npanel-key p\n"
                                                      "panel-paint last\n");
        expectCleanRun(run);
        Lines events = run.events();
        EXPECT_EQ(panelLine(events, "first", "paint"), std::string("same scale ") + c.scale) << c.name;
        EXPECT_TRUE(contains(panelLine(events, "first", "status"), std::string("Port 0x378") + c.pace + " | "))
            << c.name << ": " << panelLine(events, "first", "status");
        EXPECT_EQ(panelLine(events, "keyed", "paint"), "same scale 1") << c.name;
        EXPECT_EQ(panelLine(events, "last", "paint"), "same scale 2") << c.name;
        EXPECT_TRUE(contains(panelLine(events, "last", "status"), "Port 0x378, paced 1 us | ")) << c.name;
        Lines ini = lines(run.pluginFile("pixelvane-panel.ini"));
        EXPECT_NE(findLine(ini, "Scale=2"), -1) << c.name;
        EXPECT_NE(findLine(ini, "Pace=1"), -1) << c.name;
        // The plug-in's own file is the plug-in's business alone.
        EXPECT_EQ(countPrefix(lines(run.pluginFile("plugin.ini")), "Scale"), 0);
        EXPECT_EQ(countPrefix(lines(run.pluginFile("plugin.ini")), "Pace"), 0);
    }
}

TEST(VirtualPanel, DllNeedsNothingButWindowsAndExportsThePortDriversFunctions)
{
    std::string dump = peDump(windowsTreePath("panel-files/pixelvane-panel.dll"));
    ASSERT_NE(dump.find("DLL Name: "), std::string::npos) << "no import table in the dump";
    std::set<std::string> imported, exported;
    bool inNameTable = false;
    for (const std::string &line : lines(dump)) {
        size_t at = line.find("DLL Name: ");
        if (at != std::string::npos)
            imported.insert(line.substr(at + 10));
        if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
            inNameTable = true;
            continue;
        }
        size_t close = line.find("] ");
        if (inNameTable && (line.empty() || close == std::string::npos))
            inNameTable = false;
        else if (inNameTable)
            exported.insert(line.substr(close + 2));
    }
    EXPECT_EQ(exported, (std::set<std::string>{"Inp32", "Out32", "PanelNotice", "PixelvanePanelControl"}));
    const char *system[] = {"KERNEL32.dll", "USER32.dll", "GDI32.dll", "COMDLG32.DLL", "msvcrt.dll"};
    for (const std::string &name : imported) {
        bool known = false;
        for (const char *s : system)
            known |= strcasecmp(name.c_str(), s) == 0;
        EXPECT_TRUE(known) << "imports " << name;
    }
}
