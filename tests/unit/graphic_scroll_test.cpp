// The scroll rows of the graphic screen: which row moves when, how far, and
// the pauses at its start and end.
#include <gtest/gtest.h>

#include "scroll.h"

namespace {

struct Scroller {
    ScrollState state;
    uint64_t now = 0;

    void restart(int artistOverflow, int songOverflow)
    {
        int overflow[SCROLL_ROWS] = {artistOverflow, songOverflow};
        scrollRestart(&state, overflow, now);
    }
    void wait(uint64_t ms)
    {
        now += ms;
        scrollAdvanceTime(&state, now);
    }
    // Steps until the moving row reaches its end; the number of steps.
    int stepToEnd()
    {
        int steps = 0;
        while (scrollMoving(state) && steps < 10000) {
            scrollStep(&state, now);
            steps++;
        }
        return steps;
    }
    int offset(int row) const { return state.rows[row].offset; }
};

} // namespace

TEST(GraphicScroll, LongRowsTakeTurnsShowingTheirStartMovingAPixelAStepAndPausingAtTheirEnd)
{
    Scroller s;
    s.restart(30, 10);
    EXPECT_FALSE(scrollMoving(s.state));
    s.wait(SCROLL_START_PAUSE_MS - 1);
    EXPECT_FALSE(scrollMoving(s.state)) << "the start stays in view for its pause";
    s.wait(1);
    ASSERT_TRUE(scrollMoving(s.state));
    scrollStep(&s.state, s.now);
    EXPECT_EQ(s.offset(0), 1);
    EXPECT_EQ(s.offset(1), 0) << "the song waits its turn";
    EXPECT_EQ(s.stepToEnd(), 29);
    EXPECT_EQ(s.offset(0), 30) << "the end of the artist is in view";
    EXPECT_EQ(s.state.rows[0].phase, SCROLL_AT_END);

    s.wait(SCROLL_END_PAUSE_MS - 1);
    EXPECT_EQ(s.offset(0), 30) << "the end stays in view for its pause";
    s.wait(1);
    EXPECT_EQ(s.offset(0), 0) << "then the artist starts over";
    s.wait(0);
    ASSERT_TRUE(scrollMoving(s.state)) << "and the song, long at its start, moves";
    EXPECT_EQ(s.stepToEnd(), 10);
    EXPECT_EQ(s.offset(1), 10);
    EXPECT_EQ(s.offset(0), 0);

    s.wait(SCROLL_END_PAUSE_MS);
    s.wait(0);
    EXPECT_EQ(s.offset(1), 0);
    EXPECT_TRUE(scrollMoving(s.state)) << "the artist's turn again";
    scrollStep(&s.state, s.now);
    EXPECT_EQ(s.offset(0), 1);
}

TEST(GraphicScroll, RowsThatFitNeverMoveAndALoneLongRowStartsOverAfterItsPauses)
{
    Scroller fits;
    fits.restart(0, -5);
    fits.wait(60000);
    EXPECT_FALSE(scrollMoving(fits.state));
    EXPECT_FALSE(scrollStep(&fits.state, fits.now));
    EXPECT_EQ(fits.offset(0), 0);
    EXPECT_EQ(fits.offset(1), 0);

    Scroller lone;
    lone.restart(0, 4);
    lone.wait(SCROLL_START_PAUSE_MS);
    EXPECT_EQ(lone.stepToEnd(), 4);
    lone.wait(SCROLL_END_PAUSE_MS);
    EXPECT_EQ(lone.offset(1), 0);
    lone.wait(SCROLL_START_PAUSE_MS - 1);
    EXPECT_FALSE(scrollMoving(lone.state)) << "its start shows for the whole pause again";
    lone.wait(1);
    EXPECT_TRUE(scrollMoving(lone.state));

    // A new track: both rows back at their start, in the middle of a move.
    scrollStep(&lone.state, lone.now);
    lone.restart(0, 4);
    EXPECT_EQ(lone.offset(1), 0);
    EXPECT_FALSE(scrollMoving(lone.state));
}
