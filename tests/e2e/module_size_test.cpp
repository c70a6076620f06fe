// The stand-ins emulate the module plugin.ini names ("Panel Size", "Font
// Select"), as the plug-in reads the same keys: the port-driver stand-in's
// snapshots and the virtual panel's window are that size; keys the plug-in
// would refuse leave the 240 x 64 module, and the panel says why.
#include "e2e_support.h"

#include <gtest/gtest.h>

namespace {

const char SESSION[] = "title 1. Some Artist - Some Song - Winamp\n"
                       "answer 104 1\nanswer 105 0 75000\nanswer 105 1 200\nanswer 126 0 44\n"
                       "start\n"
                       "tick 2\n"
                       "snapshot shown\n"
                       "quit\n";

// The value logged after "panel NAME status ", or "".
std::string panelStatus(const Lines &events, const std::string &name)
{
    std::string prefix = "panel " + name + " status ";
    for (const std::string &line : events)
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    return "";
}

// Width and height of a PNG from its header.
std::pair<long, long> pngSize(const std::string &png)
{
    if (png.size() < 24)
        return std::make_pair(0L, 0L);
    auto be32 = [&](size_t at) {
        return (long)((uint8_t)png[at] << 24 | (uint8_t)png[at + 1] << 16 | (uint8_t)png[at + 2] << 8 |
                      (uint8_t)png[at + 3]);
    };
    return std::make_pair(be32(16), be32(20));
}

} // namespace

TEST(ModuleSize, TheStandInsSnapshotsAreTheModuleThePluginIniNames)
{
    struct Case {
        const char *name;
        std::vector<std::string> settings;
        int width, height;
        const char *moduleEvent; // "" when the default module is kept
    };
    const Case cases[] = {
        {"module-128x64-fs8", {"Panel Size=128x64", "Font Select=8"}, 128, 64, "module 128 64 8"},
        {"module-240x128", {"Panel Size=240x128"}, 240, 128, "module 240 128 6"},
        {"module-refused", {"Panel Size=240x100", "Font Select=8"}, 240, 64, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioRun run = runScenarioTextWith(c.name, SESSION, c.settings);
        expectHostUnharmed(run);
        EXPECT_EQ(run.panelSize("shown"), std::make_pair(c.width, c.height));
        EXPECT_EQ(run.panel("shown").size(), (size_t)c.width * c.height);
        EXPECT_EQ(pngSize(readFile(run.outDir + "/shown.png")), std::make_pair(c.width * 3L, c.height * 3L));
        EXPECT_EQ(lines(readFile(run.outDir + "/shown.txt")).size(), (size_t)c.height / 8);
        EXPECT_EQ(countPrefix(run.events(), "module "), c.moduleEvent[0] ? 1 : 0);
        if (c.moduleEvent[0])
            EXPECT_EQ(countLines(run.events(), c.moduleEvent), 1);
    }
}

TEST(ModuleSize, ThePanelWindowFitsTheModuleAndItsStatusLineSaysWhyKeysWereRefused)
{
    const std::string steps = "driver panel\n"
                              "start\n"
                              "tick\n"
                              "panel-paint shown\n"
                              "panel-notice Layout File: line 3 is not a widget\n"
                              "panel-paint noticed\n"
                              "quit\n";
    ScenarioRun small = runScenarioTextWith("module-panel-128x64", steps, {"Panel Size=128x64", "Font Select=8"});
    expectHostUnharmed(small);
    Lines events = small.events();
    EXPECT_EQ(countLines(events, "panel shown paint same scale 3"), 1);
    EXPECT_EQ(pngSize(readFile(small.outDir + "/shown.window.png")),
              std::make_pair(128 * 3L + 16, 64 * 3L + 16 + 20));
    EXPECT_EQ(panelStatus(events, "shown").find("Port 0x378 "), 0u) << panelStatus(events, "shown");
    EXPECT_EQ(panelStatus(events, "noticed"), "Layout File: line 3 is not a widget");

    ScenarioRun refused = runScenarioTextWith("module-panel-refused", steps, {"Panel Size=240x100"});
    expectHostUnharmed(refused);
    events = refused.events();
    EXPECT_EQ(countLines(events, "panel shown paint same scale 3"), 1);
    EXPECT_EQ(panelStatus(events, "shown").find("Panel Size: height 100 is not whole 8-pixel rows from 32 to 128, "
                                                "240 x 64 shown | Port 0x378 "),
              0u)
        << panelStatus(events, "shown");
}
