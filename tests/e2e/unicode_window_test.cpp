// The host's main window is a Unicode window: the plug-in's window
// procedure must leave it one, so that a title outside the ANSI code page
// reads back unchanged for the host and everybody else.
#include "e2e_support.h"

#include <gtest/gtest.h>

namespace {

// Start, ticks through a title change and the play command, the dialog
// with its intro and about buttons, OK, quit and unload. TITLE, PLAY and
// NEXT are put in by the caller.
std::string session(const std::string &title, const std::string &play, const std::string &next)
{
    return "watch-window\n"
           "title " + title + "\nanswer 104 1\nanswer 105 0 75000\nanswer 105 1 200\n"
           "start\ntick 2\ntitle Winamp\nplay-title " + play + "\ntick\n"
           "title " + next + "\ntick\n"
           "config\nclick 3\nclick 1011\nclick 1\nend\ntick\nsnapshot playing\n"
           "quit\nsnapshot quit\nunload\n";
}

} // namespace

TEST(UnicodeWindow, TitleOutsideTheCodePageStaysUnicodeThroughAWholeSession)
{
    // Russian and Japanese: neither is in a Western ANSI code page.
    ScenarioRun run = runScenarioText(
        "unicode-session", session("1. \xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe - \xd0\x93\xd1\x80\xd1\x83\xd0\xbf\xd0\xbf\xd0"
                                   "\xb0 - Winamp",
                                   "2. \xe6\x9d\xb1\xe4\xba\xac - \xe5\xa4\x9c - Winamp",
                                   "3. Caf\xc3\xa9 \xd0\x96 - \xe9\x9b\xa8 Rain - Winamp"));
    expectCleanRun(run);
    Lines events = run.events();
    Lines states;
    for (const std::string &line : events)
        if (line.compare(0, 7, "window ") == 0)
            states.push_back(line);
    // One line after each step, the dialog's steps included.
    EXPECT_GE(states.size(), 20u);
    EXPECT_EQ(countLines(states, "window unicode 1 title kept"), (int)states.size());
    EXPECT_EQ(countLines(events, "wndproc restored"), 1);

    // The plug-in reads the title in the ANSI code page, as before: the
    // characters outside it arrive as "?". The panel is exactly that of the
    // same session with those question marks in the titles.
    ScenarioRun ansi = runScenarioText("unicode-session-as-ansi",
                                       session("1. ???? - ?????? - Winamp", "2. ?? - ? - Winamp",
                                               "3. Caf\xc3\xa9 ? - ? Rain - Winamp"));
    expectCleanRun(ansi);
    EXPECT_EQ(run.textRow("playing", 1).substr(0, 14), "    Caf  ?    ");
    EXPECT_EQ(run.textRow("playing", 2).substr(0, 12), "    ? Rain  ");
    EXPECT_EQ(run.transfers(), ansi.transfers());
    EXPECT_EQ(run.ram("playing"), ansi.ram("playing"));
    EXPECT_EQ(run.ram("quit"), ansi.ram("quit"));
    EXPECT_EQ(countLines(events, "command 40045"), 1);
}
