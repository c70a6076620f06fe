// The graphic screen through the fast bus into the emulated module: what
// the panel shows against the frame the screen drew, and what each kind of
// tick costs on the port.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bus.h"
#include "controller/controller.h"
#include "fake_host.h"
#include "graphic_layout.h"
#include "fast_bus/fast_bus.h"
#include "graphic_screen.h"
#include "../screen_frames.h"
#include "host.h"
#include "player_status.h"
#include "track_tags.h"
#include "settings.h"
#include "sim_port.h"
#include "text.h"
#include "timing/clock.h"

namespace {

const uint16_t PORT_888 = 888;

// A clock that moves 1 us each time the fast bus reads it.
uint64_t virtualNow;
uint64_t virtualClock()
{
    virtualNow += 1000;
    return virtualNow;
}

struct GraphicScreenTest : ::testing::Test {
    uint64_t nowMs = 100000;
    ClockReading clock = {21, 7, false, u"", u"Wednesday, December 9, 2026"};

    void SetUp() override
    {
        settingsReset();
        optIns.graphicScreen = 1;
        fastBusResendGraphics(true);
        optIns.fastBus = 1;
        settings.lptPort = PORT_888;
        emulatorReset(&simPortEmulator, PORT_888);
        virtualNow = 0;
        fastBusClock = virtualClock;
        fakeHostReset();
        std::memset(&playerStatus, 0, sizeof playerStatus);
        lcdPortInit();
        lcdInit();
        lcdClearText();
        lcdClearGraphics();
        lcdFlush();
        startScreenOnPort();
        play(u"1. Artist - Song - Winamp", 1, 75000, 200);
    }

    void TearDown() override
    {
        fastBusResendGraphics(false);
        EXPECT_TRUE(simPortEmulator.faults.empty()) << simPortEmulator.faults.front();
        fastBusClock = monotonicNanoseconds;
        settingsReset();
    }

    void play(const std::u16string &title, int playState, int positionMs, int lengthSeconds)
    {
        fakeHost.unicodeTitle = title;
        fakeHost.title = "1. ascii - title - Winamp";
        fakeHostAnswer(HOST_QUERY_PLAY_STATE, 0, playState);
        fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, positionMs);
        fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_LENGTH, lengthSeconds);
        fakeHostAnswer(HOST_QUERY_PLAYLIST_LENGTH, 0, 7);
        fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_SAMPLE_RATE, 44);
        fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_BIT_RATE, 128);
        fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, 2);
    }

    // A refresh tick as the plug-in runs it; the port accesses it cost.
    uint64_t tick(uint64_t afterMs = 250)
    {
        nowMs += afterMs;
        uint64_t before = simPortEmulator.accessCount;
        samplePlayerStatus();
        sampleUnicodeTitle();
        sampleTrackTags();
        graphicScreenTick(nowMs, clock);
        return simPortEmulator.accessCount - before;
    }

    uint64_t scrollStep(uint64_t afterMs)
    {
        nowMs += afterMs;
        uint64_t before = simPortEmulator.accessCount;
        graphicScreenScrollStep(nowMs);
        return simPortEmulator.accessCount - before;
    }

    // The panel as a person sees it equals the frame the screen drew, with
    // the text area blank.
    void expectPanelIsTheFrame()
    {
        PanelImage image;
        renderPanel(simPortEmulator.lcd, &image);
        const Frame &frame = graphicScreenFrame();
        int wrong = 0;
        for (int y = 0; y < PANEL_HEIGHT; y++)
            for (int x = 0; x < PANEL_WIDTH; x++)
                wrong += (image.pixel[y][x] != 0) != framePixelAt(frame, x, y);
        EXPECT_EQ(wrong, 0) << "pixels that differ from the frame";
        for (int i = 0; i < TEXT_AREA_BYTES; i++)
            ASSERT_EQ(simPortEmulator.lcd.ram[TEXT_HOME + i], 0) << "text cell " << i;
    }
};

// The frame a layout draws for the given texts and offsets.
Frame statusFrame(const std::u32string &artist, int artistOffset, const std::u32string &song, int songOffset,
                  int playState, const char *time, int positionMs, int lengthSeconds)
{
    return drawnStatus({artist, artistOffset, song, songOffset, playState, time, "01/07  44 kHz  128 kbps  Stereo",
                        positionMs, lengthSeconds});
}

bool sameFrame(const Frame &a, const Frame &b)
{
    return a.width == b.width && a.height == b.height && std::memcmp(a.bits, b.bits, sizeof a.bits) == 0;
}

} // namespace

TEST_F(GraphicScreenTest, TheStatusIsOnThePanelAndATickThatChangesNothingCostsNothing)
{
    EXPECT_GT(tick(), 1000u) << "the first tick draws the whole screen";
    expectPanelIsTheFrame();
    EXPECT_TRUE(sameFrame(graphicScreenFrame(),
                          statusFrame(U"Artist", 0, U"Song", 0, 1, "02:05/03:20", 75000, 200)));
    EXPECT_EQ(tick(), 0u) << "same second, same texts";
    EXPECT_EQ(tick(), 0u);
}

// Costs in port accesses, deterministic: the time and the bar, a new track,
// a pause, a stream.
TEST_F(GraphicScreenTest, EachKindOfTickSendsOnlyWhatItChangedWithinItsBudget)
{
    tick();
    const struct {
        const char *what;
        std::u16string title;
        int playState, positionMs, lengthSeconds;
        uint64_t most;
        const char *time;
    } ticks[] = {
        {"one digit of the time", u"1. Artist - Song - Winamp", 1, 76000, 200, 800, "02:04/03:20"},
        {"three digits and the bar", u"1. Artist - Song - Winamp", 1, 80000, 200, 800, "02:00/03:20"},
        {"paused", u"1. Artist - Song - Winamp", 3, 80000, 200, 800, "02:00/03:20"},
        {"a new track", u"2. Кино - Группа крови - Winamp", 1, 0, 280, 6000, "04:40/04:40"},
        {"a stream: no length, no bar", u"3. Radio - Ελληνικά - Winamp", 1, 5000, 0, 6000, "00:05"},
    };
    for (const auto &t : ticks) {
        SCOPED_TRACE(t.what);
        play(t.title, t.playState, t.positionMs, t.lengthSeconds);
        uint64_t accesses = tick();
        EXPECT_LE(accesses, t.most);
        EXPECT_GT(accesses, 0u);
        expectPanelIsTheFrame();
        char time[SCREEN_TEXT_SIZE];
        formatScreenTime(time, sizeof time, t.positionMs, t.lengthSeconds, 1, false);
        EXPECT_STREQ(time, t.time);
    }
    EXPECT_TRUE(sameFrame(graphicScreenFrame(),
                          statusFrame(U"Radio", 0, U"Ελληνικά", 0, 1, "00:05", 5000, 0)));
}

TEST_F(GraphicScreenTest, ALongRowScrollsAPixelAStepWithinTheBudgetAndTheOtherWaits)
{
    std::u16string longSong = u"A song whose name runs on far beyond the two hundred and forty pixels of a row";
    play(u"1. Artist - " + longSong + u" - Winamp", 1, 75000, 200);
    tick();
    EXPECT_FALSE(graphicScreenScrolling()) << "its start shows first";
    tick(2000);
    ASSERT_TRUE(graphicScreenScrolling());
    std::u32string song(longSong.begin(), longSong.end());
    int overflow = rowOverflow(song);
    ASSERT_GT(overflow, 100);
    uint64_t most = 0, total = 0;
    int steps = 0;
    uint64_t stepMs = 1000 / SCROLL_SPEED_DEFAULT;
    while (graphicScreenScrolling()) {
        uint64_t accesses = scrollStep(stepMs);
        most = accesses > most ? accesses : most;
        total += accesses;
        steps++;
        if (steps == 37) {
            expectPanelIsTheFrame();
            EXPECT_TRUE(sameFrame(graphicScreenFrame(),
                                  statusFrame(U"Artist", 0, song, 37, 1, "02:05/03:20", 75000, 200)));
        }
    }
    EXPECT_EQ(steps, overflow);
    EXPECT_LE(most, 2000u) << "one scroll step";
    EXPECT_LE(total * SCROLL_SPEED_DEFAULT / steps, 20000u) << "a second of scrolling at the default speed";
    expectPanelIsTheFrame();
}

TEST_F(GraphicScreenTest, StoppedForTenSecondsShowsTheClockUnlessIdleClockIsOffAndPlayingBringsTheStatusBack)
{
    tick();
    play(u"Winamp 2.91", 0, 0, 0);
    fakeHost.unicodeTitle = u"1. Artist - Song - Winamp";
    tick();
    tick(IDLE_AFTER_MS - 300);
    EXPECT_TRUE(sameFrame(graphicScreenFrame(), statusFrame(U"Artist", 0, U"Song", 0, 0, "00:00", 0, 0)))
        << "the status until then, its stop square";
    tick(300);
    expectPanelIsTheFrame();
    std::u32string date = U"Wednesday, December 9, 2026", artist = U"Artist";
    Frame idle = drawnIdle("21:07", U"", date, artist);
    EXPECT_TRUE(sameFrame(graphicScreenFrame(), idle));

    clock.twelveHour = true;
    std::memcpy(clock.amPm, u"PM", sizeof u"PM");
    tick();
    idle = drawnIdle("9:07", U"PM", date, artist);
    EXPECT_TRUE(sameFrame(graphicScreenFrame(), idle));

    play(u"1. Artist - Song - Winamp", 1, 75000, 200);
    tick();
    EXPECT_TRUE(sameFrame(graphicScreenFrame(),
                          statusFrame(U"Artist", 0, U"Song", 0, 1, "02:05/03:20", 75000, 200)));

    optIns.idleClock = 0;
    play(u"1. Artist - Song - Winamp", 0, 75000, 200);
    tick();
    tick(IDLE_AFTER_MS * 2);
    EXPECT_TRUE(sameFrame(graphicScreenFrame(), statusFrame(U"Artist", 0, U"Song", 0, 0, "02:05/03:20", 75000, 200)))
        << "the stopped status stays";
    expectPanelIsTheFrame();
}

// With the visualizer's layouts the remaining time reads as the player
// shows it; the host's edge cases stay readable times.
TEST(ScreenTime, TheRemainingTimeTakesAMinusSignWhenAsked)
{
    const struct {
        int positionMs, lengthSeconds, timeRemaining;
        bool signedRemaining;
        const char *time;
    } cases[] = {
        {76000, 412, 1, true, "-05:36 / 06:52"},
        {76000, 412, 0, true, "01:16 / 06:52"},
        {76000, 412, 1, false, "05:36/06:52"},
        {500000, 412, 1, true, "-00:00 / 06:52"}, // past the end
        {-3000, 412, 1, true, "-06:52 / 06:52"},  // before the start
        {-3000, 412, 0, true, "00:00 / 06:52"},
        {5000, 0, 1, true, "00:05"}, // a stream: the elapsed time alone
        {0, 6000, 1, true, "-100:00 / 100:00"},
    };
    for (const auto &c : cases) {
        char time[SCREEN_TEXT_SIZE];
        formatScreenTime(time, sizeof time, c.positionMs, c.lengthSeconds, c.timeRemaining, c.signedRemaining);
        EXPECT_STREQ(time, c.time) << c.positionMs << " ms of " << c.lengthSeconds << " s";
    }
}
