// The graphic screen ("Graphic Screen=1") on the real plug-in: after every
// snapshot the panel is, pixel for pixel, the frame the screen draws for
// what the scenario shows (drawn here by the same layout code), the text
// area is blank, and the emulator saw no protocol fault.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../screen_frames.h"

namespace {

const std::vector<std::string> GRAPHIC = {"Graphic Screen=1"};
const char INFO[] = "01/07  44 kHz  128 kbps  Stereo";

// The host's answers of a track at 01:15 of 03:20, track 1 of 7, 44 kHz,
// 128 kbit/s, stereo, playing.
const std::string PLAYING = "answer 104 1\nanswer 105 0 75000\nanswer 105 1 200\nanswer 124 7\n"
                            "answer 126 0 44\nanswer 126 1 128\nanswer 126 2 2\n";

typedef StatusShown Shown;

std::vector<bool> framePixels(const Frame &frame)
{
    std::vector<bool> pixels;
    for (int y = 0; y < PANEL_HEIGHT; y++)
        for (int x = 0; x < PANEL_WIDTH; x++)
            pixels.push_back(framePixelAt(frame, x, y));
    return pixels;
}

std::vector<bool> statusPixels(const Shown &s)
{
    return framePixels(drawnStatus(s));
}

int differingPixels(const std::vector<bool> &a, const std::vector<bool> &b)
{
    if (a.size() != b.size())
        return -1;
    int differ = 0;
    for (size_t i = 0; i < a.size(); i++)
        differ += a[i] != b[i];
    return differ;
}

// The snapshot's text area is blank and its panel is the status drawn.
void expectStatus(const ScenarioRun &run, const std::string &snapshot, const Shown &shown)
{
    SCOPED_TRACE(snapshot);
    std::vector<unsigned char> ram = run.ram(snapshot);
    ASSERT_EQ(ram.size(), 8192u);
    for (int i = 0; i < TEXT_AREA_BYTES; i++)
        ASSERT_EQ(ram[TEXT_HOME + i], 0) << "text cell " << i;
    EXPECT_EQ(differingPixels(run.panel(snapshot), statusPixels(shown)), 0);
}

// The offset of the row that moved, when the panel is the status with that
// row scrolled that far and the other at its start; -1 when it is none.
int scrolledOffset(const ScenarioRun &run, const std::string &snapshot, Shown shown, int row, int most)
{
    std::vector<bool> panel = run.panel(snapshot);
    for (int offset = 0; offset <= most; offset++) {
        (row == 0 ? shown.artistOffset : shown.songOffset) = offset;
        if (differingPixels(panel, statusPixels(shown)) == 0)
            return offset;
    }
    return -1;
}

int overflowOf(const std::u32string &text)
{
    return rowOverflow(text);
}

} // namespace

// Cyrillic and Greek from a Unicode window on a Western code page, where
// the single-byte title would read "????".
TEST(GraphicScreen, ShowsTheUnicodeTitleInRealFontsAndATickThatChangesNothingSendsNothing)
{
    ScenarioRun run = runScenarioTextWith("graphic-status", "title 1. Кино - Ελληνικά - Winamp\n" + PLAYING +
                                                                "start\ntick\nsnapshot playing\ncounts still\n"
                                                                "tick 4\nwait 1000\ncounts after\n"
                                                                "answer 105 0 76000\ntick\ncounts time\n"
                                                                "snapshot time\nquit\nsnapshot quit\n",
                                          GRAPHIC);
    expectCleanRun(run);
    expectStatus(run, "playing", {U"Кино", 0, U"Ελληνικά", 0, 1, "02:05/03:20", INFO, 75000, 200});
    EXPECT_EQ(accessesBetween(run, "still", "after"), 0) << "a second and more with nothing new";
    long long timeTick = accessesBetween(run, "after", "time");
    EXPECT_GT(timeTick, 0);
    EXPECT_LE(timeTick, 800) << "only the time and the bar moved";
    expectStatus(run, "time", {U"Кино", 0, U"Ελληνικά", 0, 1, "02:04/03:20", INFO, 76000, 200});
    // The shut-down texts in the same fonts, the stop square, the last time.
    expectStatus(run, "quit",
                 {U"Winamp has been shutdown", 0, U"please turn off LCD...", 0, 0, "02:04/03:20", INFO, 76000, 200});
    EXPECT_EQ(countLines(run.events(), "thread created"), 1);
    EXPECT_EQ(countPrefix(run.ports(), "in "), 1) << "the control register read once";
}

// A long artist scrolls first while the song waits at its start; the scroll
// timer runs only while a row moves; a new track starts at the start.
TEST(GraphicScreen, LongRowsScrollOneAtATimeOnATimerOfTheirOwnAndANewTrackStartsAtTheStart)
{
    const std::u32string artist = U"Ορχήστρα των Χρωμάτων και των Ήχων της Θεσσαλονίκης";
    const std::u32string song = U"Очень длинное название песни, которое не помещается в строке";
    ScenarioRun run = runScenarioTextWith(
        "graphic-scroll",
        "title 1. Ορχήστρα των Χρωμάτων και των Ήχων της Θεσσαλονίκης - "
        "Очень длинное название песни, которое не помещается в строке - Winamp\n" +
            PLAYING +
            "start\ntick\nsnapshot start\nwait 1000\nsnapshot still\nwait 3000\nsnapshot moving\n"
            "title 2. Short - Song - Winamp\ntick\nsnapshot new-track\nwait 500\nquit\n",
        GRAPHIC);
    expectCleanRun(run);
    ASSERT_GT(overflowOf(artist), 50);
    ASSERT_GT(overflowOf(song), 50);
    Shown shown = {artist, 0, song, 0, 1, "02:05/03:20", INFO, 75000, 200};
    expectStatus(run, "start", shown);
    expectStatus(run, "still", shown); // the start shows for 2 s
    int offset = scrolledOffset(run, "moving", shown, 0, overflowOf(artist));
    EXPECT_GT(offset, 5) << "the artist moved, pixel by pixel, with the song at its start";
    expectStatus(run, "new-track", {U"Short", 0, U"Song", 0, 1, "02:05/03:20", INFO, 75000, 200});
    Lines events = run.events();
    EXPECT_EQ(countPrefix(events, "timer-proc set"), countPrefix(events, "timer-proc kill"));
    EXPECT_GE(countPrefix(events, "timer-proc set"), 1);
    int set = findLine(events, "timer-proc set 83");
    EXPECT_GE(set, 0) << "12 pixels a second by default";
    // The scroll timer's messages never reach the host's window: only its
    // own refresh timer does.
    EXPECT_EQ(countPrefix(events, "received timer"), countLines(events, "received timer 1 0"));

    // "Scroll Speed" sets the pace; a value that is no speed keeps 12.
    const struct {
        const char *setting;
        const char *timer;
    } speeds[] = {{"Scroll Speed=25", "timer-proc set 40"}, {"Scroll Speed=0", "timer-proc set 83"},
                  {"Scroll Speed=5000", "timer-proc set 10"}};
    for (const auto &speed : speeds) {
        ScenarioRun paced = runScenarioTextWith(std::string("graphic-scroll-speed-") + speed.timer,
                                                "title 1. " + std::string(60, 'W') + " - Song - Winamp\n" +
                                                    PLAYING + "start\ntick\nwait 2600\nquit\n",
                                                {"Graphic Screen=1", speed.setting});
        expectCleanRun(paced);
        EXPECT_GE(findLine(paced.events(), speed.timer), 0) << speed.setting;
    }
}

TEST(GraphicScreen, PausedShowsTheBarsAndAStreamShowsTheElapsedTimeWithoutABar)
{
    ScenarioRun run = runScenarioTextWith("graphic-pause-stream",
                                          "title 1. Band - Tune - Winamp\n" + PLAYING +
                                              "answer 104 3\nstart\ntick\nsnapshot paused\n"
                                              "title 2. Radio - Live - Winamp\nanswer 104 1\nanswer 105 0 5000\n"
                                              "answer 105 1 0\ntick\nsnapshot stream\nquit\n",
                                          GRAPHIC);
    expectCleanRun(run);
    expectStatus(run, "paused", {U"Band", 0, U"Tune", 0, 3, "02:05/03:20", INFO, 75000, 200});
    expectStatus(run, "stream", {U"Radio", 0, U"Live", 0, 1, "00:05", INFO, 5000, 0});
}

// Stopped for 10 s: the local time large, the date and the last artist;
// playing again brings the status back at the next tick. With
// "Idle Clock=0" the stopped status stays.
TEST(GraphicScreen, StoppedForTenSecondsShowsTheIdleClockAndPlayingBringsTheStatusBack)
{
    const std::string steps = "title 1. Band - Tune - Winamp\n" + PLAYING +
                              "clock 2026-12-09 21:07\nstart\ntick\nanswer 104 0\ntick\nsnapshot stopped\n"
                              "wait 10500\nsnapshot idle\nanswer 104 1\ntick\nsnapshot again\nquit\n";
    ScenarioRun run = runScenarioTextWith("graphic-idle", steps, GRAPHIC);
    expectCleanRun(run);
    Shown stopped = {U"Band", 0, U"Tune", 0, 0, "02:05/03:20", INFO, 75000, 200};
    expectStatus(run, "stopped", stopped);
    // The clock and the last artist as the layout draws them; the date is
    // the host's own long date, somewhere in its row.
    Frame idle = drawnIdle("9:07", U"PM", U"", U"Band");
    std::vector<bool> panel = run.panel("idle"), expected = framePixels(idle);
    int clockDiffers = 0, dateLit = 0;
    for (int y = 0; y < PANEL_HEIGHT; y++)
        for (int x = 0; x < PANEL_WIDTH; x++) {
            size_t i = (size_t)y * PANEL_WIDTH + x;
            if (y >= 26 && y < 40)
                dateLit += panel[i];
            else
                clockDiffers += panel[i] != expected[i];
        }
    EXPECT_EQ(clockDiffers, 0) << "9:07 PM on the host's 12-hour clock, and the last artist";
    EXPECT_GT(dateLit, 100) << "the date";
    expectStatus(run, "again", {U"Band", 0, U"Tune", 0, 1, "02:05/03:20", INFO, 75000, 200});

    ScenarioRun kept = runScenarioTextWith("graphic-idle-off", steps, {"Graphic Screen=1", "Idle Clock=0"});
    expectCleanRun(kept);
    expectStatus(kept, "idle", stopped);
}

// The dialog's screens stay as they are; the graphic screen takes the whole
// panel back at the next refresh after OK or Cancel.
TEST(GraphicScreen, DialogScreensStayAsTheyAreAndTheNextRefreshAfterOkOrCancelTakesThePanelBack)
{
    ScenarioRun run = runScenarioTextWith(
        "graphic-dialog",
        "title 1. Band - Tune - Winamp\n" + PLAYING +
            "start\ntick\nconfig\nclick 3\nsnapshot intro\ntick 2\nclick 1011\nsnapshot about\ntick 2\n"
            "snapshot about-held\nclick 1\nend\nsnapshot ok\ntick\nsnapshot back\n"
            "config\nclick 2\nend\nsnapshot cancel\ntick\nsnapshot back-again\nquit\n",
        GRAPHIC);
    expectCleanRun(run);
    Shown status = {U"Band", 0, U"Tune", 0, 1, "02:05/03:20", INFO, 75000, 200};
    expectStatus(run, "intro", status); // the status over the intro's last frame
    EXPECT_EQ(run.textRow("about", 0).substr(0, 12), "Programming:");
    EXPECT_EQ(run.textRow("about", 5).substr(2, 16), "Take a visit at:");
    EXPECT_EQ(run.panel("about-held"), run.panel("about")) << "ticks hold off while the about screen is up";
    EXPECT_EQ(run.textRow("ok", 0), std::string(40, ' ')) << "OK clears the text for its picture";
    EXPECT_NE(run.panel("ok"), statusPixels(status));
    expectStatus(run, "back", status);
    EXPECT_NE(run.panel("cancel"), statusPixels(status));
    expectStatus(run, "back-again", status);
}

// A module that lost power shows the whole screen again within 10 s.
TEST(GraphicScreen, AModuleThatLostPowerShowsTheWholeScreenAgainWithinTenSeconds)
{
    ScenarioRun run = runScenarioTextWith("graphic-module-reset",
                                          "title 1. Band - Tune - Winamp\n" + PLAYING +
                                              "start\ntick\nmodule-reset\nwait 1000\nsnapshot dark\n"
                                              "wait 9500\nsnapshot back\nquit\n",
                                          GRAPHIC);
    expectCleanRun(run);
    std::vector<bool> dark = run.panel("dark");
    EXPECT_EQ(std::count(dark.begin(), dark.end(), true), 0) << "nothing changed, nothing sent";
    expectStatus(run, "back", {U"Band", 0, U"Tune", 0, 1, "02:05/03:20", INFO, 75000, 200});
}

// After quit and unload the host goes on; a host that ends without calling
// quit is not held up by the port thread.
TEST(GraphicScreen, QuitUnloadAndAnEndWithoutQuitLeaveTheHostUnharmed)
{
    ScenarioRun unloaded = runScenarioTextWith("graphic-unload",
                                               "title 1. Band - Tune - Winamp\n" + PLAYING +
                                                   "start\ntick\nquit\nunload\ntick 3\n",
                                               GRAPHIC);
    expectCleanRun(unloaded);
    ScenarioRun noQuit = runScenarioTextWith("graphic-no-quit",
                                             "title 1. Band - Tune - Winamp\n" + PLAYING + "start\ntick\nwait 300\n",
                                             GRAPHIC);
    expectCleanRun(noQuit);
    expectStatus(noQuit, END_OF_RUN, {U"Band", 0, U"Tune", 0, 1, "02:05/03:20", INFO, 75000, 200});
}

// The virtual panel shows the graphic screen as it shows any port traffic,
// the port thread's accesses included.
TEST(GraphicScreen, TheVirtualPanelShowsItAsTheModuleDoes)
{
    ScenarioRun run = runScenarioTextWith("graphic-virtual-panel",
                                          "driver panel\ntitle 1. Кино - Группа крови - Winamp\n" + PLAYING +
                                              "start\ntick\nsnapshot shown\npanel-paint shown\nquit\n",
                                          GRAPHIC);
    expectCleanRun(run);
    expectStatus(run, "shown", {U"Кино", 0, U"Группа крови", 0, 1, "02:05/03:20", INFO, 75000, 200});
    EXPECT_GE(findLine(run.events(), "panel shown paint same scale 3"), 0);
}
