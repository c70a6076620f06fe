// A layout file through the real plug-in: the widgets where the file puts
// them; a bad file (or a refused size) gives the built-in layout, and the
// reason shows on the panel for five seconds and in the virtual panel's
// status line.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string PLAYING = "title 1. Band - Tune - Winamp\n"
                            "answer 104 1\nanswer 105 0 100000\nanswer 105 1 200\nanswer 124 7\n"
                            "answer 126 0 44\nanswer 126 1 128\nanswer 126 2 2\n";

int litInRow(const ScenarioRun &run, const std::string &snapshot, int y)
{
    std::pair<int, int> size = run.panelSize(snapshot);
    int lit = 0;
    for (int x = 0; x < size.first; x++)
        lit += run.pixel(snapshot, x, y);
    return lit;
}

// The value logged after "panel NAME status ", or "".
std::string panelStatus(const ScenarioRun &run, const std::string &name)
{
    std::string prefix = "panel " + name + " status ";
    for (const std::string &line : run.events())
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    return "";
}

} // namespace

TEST(LayoutFile, PutsTheBarWhereTheFileSaysAndLeavesOutWhatItDoesNotName)
{
    writeScenarioFile("top-bar.ini", "; the bar on top, the song under it, nothing else\r\n"
                                     "[bar]\r\nBox=0,0,240,6\r\n[song]\r\nBox=0,10,240,14\r\n");
    ScenarioRun run = runScenarioTextWith("layout-top-bar",
                                          "install top-bar.ini top-bar.ini\n" + PLAYING +
                                              "start\ntick 2\nsnapshot shown\nquit\n",
                                          {"Graphic Screen=1", "Layout File=top-bar.ini"});
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    // The outline's top and bottom rows whole; half of 236 filled inside.
    EXPECT_EQ(litInRow(run, "shown", 0), 240);
    EXPECT_EQ(litInRow(run, "shown", 5), 240);
    EXPECT_EQ(litInRow(run, "shown", 2), 2 + 118);
    // The song's row holds ink; the built-in bar's rows and the info line's are dark.
    int song = 0;
    for (int y = 10; y < 24; y++)
        song += litInRow(run, "shown", y);
    EXPECT_GT(song, 0);
    for (int y = 28; y < 64; y++)
        EXPECT_EQ(litInRow(run, "shown", y), 0) << "row " << y;
}

TEST(LayoutFile, ABadFileOrSizeShowsWhyForFiveSecondsThenTheBuiltInLayout)
{
    writeScenarioFile("bad.ini", "[bar]\nBox=0,0,240,6\nFont=huge\n");
    const struct {
        const char *name;
        std::vector<std::string> settings;
        std::string reason;
    } cases[] = {
        {"layout-bad-font", {"Graphic Screen=1", "Layout File=bad.ini"}, "bad.ini line 3: unknown font \"huge\""},
        {"layout-missing", {"Graphic Screen=1", "Layout File=none.ini"}, "none.ini"},
        {"layout-bad-size", {"Graphic Screen=1", "Panel Size=240x100"}, "Panel Size: height 100"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioRun run = runScenarioTextWith(c.name,
                                              "driver panel\ninstall bad.ini bad.ini\n" + PLAYING +
                                                  "start\ntick\nsnapshot notice\npanel-paint notice\n"
                                                  "wait 5500\ntick\nsnapshot status\nquit\n",
                                              c.settings);
        ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
        EXPECT_EQ(run.panelSize("notice"), std::make_pair(240, 64));
        // The notice: small text from the top row on, nothing of the status.
        int noticeInk = 0;
        for (int y = 0; y < 16; y++)
            noticeInk += litInRow(run, "notice", y);
        EXPECT_GT(noticeInk, 40);
        EXPECT_EQ(litInRow(run, "notice", 46), 0) << "no bar under the notice";
        EXPECT_NE(panelStatus(run, "notice").find(c.reason), std::string::npos) << panelStatus(run, "notice");
        // Then the built-in layout: the bar's outline whole in rows 46 and 51.
        EXPECT_EQ(litInRow(run, "status", 46), 240);
        EXPECT_EQ(litInRow(run, "status", 51), 240);
    }
}
