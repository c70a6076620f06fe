// The status screen drawn by the real plug-in from the host's answers.
#include "e2e_support.h"

#include <gtest/gtest.h>

// The icon's top-left graphics byte: pixel row 7, byte 36.
static int iconByte(const std::vector<unsigned char> &ram, int row, int column)
{
    return ram.at(0x0200 + (7 + row) * 40 + 36 + column);
}

TEST(StatusTour, TextsAtTheirCellsAndTheIconFollowsThePlayState)
{
    ScenarioRun run = runScenario("status_tour");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(countPrefix(run.events(), "fault "), 0);

    EXPECT_EQ(run.textRow("playing", 1).substr(4, 12), "First Artist");
    EXPECT_EQ(run.textRow("playing", 2).substr(4, 12), "Opening Song");
    EXPECT_EQ(run.textRow("playing", 6).substr(4, 11), "02:05/03:20");
    EXPECT_EQ(run.textRow("playing", 4).substr(4, 5), "01/07");
    EXPECT_EQ(run.textRow("playing", 4).substr(20, 2), "44");
    EXPECT_EQ(run.textRow("playing", 5).substr(20, 3), "128");
    EXPECT_EQ(run.textRow("playing", 6).substr(17, 6), "Stereo");

    std::vector<unsigned char> playing = run.ram("playing");
    std::vector<unsigned char> paused = run.ram("paused");
    std::vector<unsigned char> stopped = run.ram("stopped");
    // Play triangle: row 8 is 07 3F 38; pause bars 3F 00 3F; stop square 3F 3F 3F.
    EXPECT_EQ(iconByte(playing, 8, 0), 0x07);
    EXPECT_EQ(iconByte(playing, 8, 1), 0x3F);
    EXPECT_EQ(iconByte(playing, 8, 2), 0x38);
    EXPECT_EQ(iconByte(paused, 8, 1), 0x00);
    EXPECT_EQ(iconByte(paused, 8, 2), 0x3F);
    EXPECT_EQ(iconByte(stopped, 8, 1), 0x3F);
    EXPECT_TRUE(run.pixel("stopped", 216, 7));

    EXPECT_EQ(run.textRow("second", 1).substr(4, 14), "Second Artist ");
    EXPECT_EQ(run.textRow("second", 2).substr(4, 13), "Another Song ");
    EXPECT_EQ(run.textRow("second", 4).substr(4, 5), "02/07");

    EXPECT_EQ(run.textRow("quit", 1).substr(4, 24), "Winamp has been shutdown");
    EXPECT_EQ(run.textRow("quit", 2).substr(4, 22), "please turn off LCD...");
}

TEST(StatusTour, HostNameTitleSendsThePlayCommandOnEveryTick)
{
    ScenarioRun run = runScenarioText("status-winamp-title", "title Winamp 2.91\nstart\ntick 3\nquit\n");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(countLines(run.events(), "command 40045"), 3);

    ScenarioRun switched = runScenarioText("status-play-title",
                                           "title Winamp 2.91\nplay-title 1. Now - Playing - Winamp\n"
                                           "answer 104 1\nstart\ntick\nsnapshot s\n");
    ASSERT_EQ(switched.exitStatus, 0) << switched.errorOutput;
    EXPECT_EQ(switched.textRow("s", 1).substr(4, 3), "Now");
}
