// The player's own data through the real plug-in: its spectrum as bars
// right of the time (Visualizer=1 on the 240 x 64 module: rows 28-43,
// columns 120-239, one bar every two columns), falling to rest when paused
// and gone when the player stops offering data; the artist and song from
// the file's tags, looked up once a change of track.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string PLAYING = "answer 104 1\nanswer 105 0 100000\nanswer 105 1 208\nanswer 124 7\nanswer 125 0 3\n"
                            "answer 126 0 44\nanswer 126 1 128\nanswer 126 2 2\n";

int litIn(const ScenarioRun &run, const std::string &snapshot, int left, int top, int right, int bottom)
{
    int lit = 0;
    for (int y = top; y <= bottom; y++)
        for (int x = left; x <= right; x++)
            lit += run.pixel(snapshot, x, y);
    return lit;
}

int countLines(const std::string &text, const std::string &prefix)
{
    int count = 0;
    size_t at = 0;
    while ((at = text.find(prefix, at)) != std::string::npos) {
        count++;
        at += prefix.size();
    }
    return count;
}

} // namespace

TEST(Visualizer, SpectrumBarsMoveWhilePlayingFallWhenPausedAndGoWithTheData)
{
    // The lowest band full, the next silent, the rest half.
    std::string spectrum = "spectrum 255 0";
    for (int band = 2; band < 75; band++)
        spectrum += " 128";
    ScenarioRun run = runScenarioTextWith(
        "visualizer-spectrum",
        "title 1. Band - Tune - Winamp\n" + PLAYING + spectrum + "\nstart\ntick\nwait 1000\nsnapshot playing\n"
                             "answer 104 3\ntick\nwait 3000\nsnapshot paused\n"
                             "answer 104 1\nno-visual\ntick\nwait 1000\nsnapshot no-data\nquit\n",
        {"Graphic Screen=1", "Visualizer=1"});
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(litIn(run, "playing", 120, 28, 120, 43), 16) << "the full band's bar, all 16 rows";
    EXPECT_EQ(litIn(run, "playing", 121, 28, 123, 43), 0) << "its gap and the silent band's bar";
    EXPECT_EQ(litIn(run, "playing", 124, 28, 124, 35), 0) << "a half band's bar: its upper half dark";
    EXPECT_EQ(litIn(run, "playing", 124, 36, 124, 43), 8) << "and its lower half lit";
    EXPECT_EQ(litIn(run, "paused", 120, 28, 239, 43), 0) << "paused, the bars at rest";
    EXPECT_EQ(litIn(run, "no-data", 120, 28, 239, 43), 0) << "no data, no bars";
    EXPECT_EQ(litIn(run, "no-data", 0, 46, 239, 46), 240) << "the status goes on: the bar's outline";
    // 100 s of 208 remaining: "-01:48 / 03:28", 14 letters of 7 pixels from
    // column 14 to 111; the first a dash, a stroke one row high.
    int dashRows = 0;
    for (int y = 28; y <= 43; y++)
        dashRows += litIn(run, "playing", 14, y, 20, y) > 0;
    EXPECT_EQ(dashRows, 1) << "the minus sign";
    EXPECT_GT(litIn(run, "playing", 105, 28, 111, 43), 0) << "the length's last digit";
    EXPECT_EQ(litIn(run, "playing", 112, 28, 119, 43), 0) << "and nothing after it";
}

TEST(Visualizer, TagsKeepATitleWithADashWholeAndAreLookedUpOnceATrack)
{
    // The window title splits at its last " - ": artist "Queen - Bohemian
    // Rhapsody", song "Remastered 2011". The tags hold the artist "Queen".
    const std::string title = "title 1. Queen - Bohemian Rhapsody - Remastered 2011 - Winamp\n";
    const std::string tags = "file C:\\Music\\rhapsody.mp3\ntag artist Queen\n"
                             "tag title Bohemian Rhapsody - Remastered 2011\ntag album A Night at the Opera\n";
    const std::string steps = "start\ntick\nwait 2000\nsnapshot shown\nquit\n";
    ScenarioRun tagged = runScenarioTextWith("tags-dash", title + PLAYING + tags + steps, {"Graphic Screen=1"});
    ScenarioRun untagged = runScenarioTextWith("tags-none", title + PLAYING + steps, {"Graphic Screen=1"});
    ASSERT_EQ(tagged.exitStatus, 0) << tagged.errorOutput;
    ASSERT_EQ(untagged.exitStatus, 0) << untagged.errorOutput;
    // "Queen" in the 7-pixel row font ends by column 34.
    EXPECT_GT(litIn(untagged, "shown", 35, 0, 239, 13), 0) << "the title's artist runs on";
    EXPECT_EQ(litIn(tagged, "shown", 35, 0, 239, 13), 0) << "the tag's artist: Queen alone";
    EXPECT_GT(litIn(tagged, "shown", 120, 14, 239, 27), 0) << "the tag's song, with its dash, is long";
    // One lookup of the file and of each tag for the one track, over the
    // nine ticks it plays.
    std::string ipc = readFile(tagged.outDir + "/ipc.txt");
    EXPECT_EQ(countLines(ipc, "query 214 "), 1) << ipc;
    EXPECT_EQ(countLines(ipc, "query 3026 artist"), 1) << ipc;
    EXPECT_EQ(countLines(ipc, "query 3026 title"), 1) << ipc;
    EXPECT_EQ(countLines(ipc, "query 3026 album"), 1) << ipc;
}

TEST(Visualizer, ALayoutFileNotTakenKeepsTheVisualizersRoom)
{
    std::string spectrum = "spectrum 255";
    ScenarioRun run = runScenarioTextWith("visualizer-bad-layout",
                                          "title 1. Band - Tune - Winamp\n" + PLAYING + spectrum +
                                              "\nstart\ntick\nwait 5500\ntick\nwait 500\nsnapshot shown\nquit\n",
                                          {"Graphic Screen=1", "Visualizer=1", "Layout File=none.ini"});
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(litIn(run, "shown", 120, 28, 120, 43), 16) << "the full band's bar beside the time";
    EXPECT_EQ(litIn(run, "shown", 0, 46, 239, 46), 240) << "the progress bar's outline";
}

// A spectrum that moves every frame: the frames reach the panel, and while
// they come the port thread finds them by itself, so the player's thread
// makes no call that wakes it (the host times each frame's SetEvent calls).
TEST(Visualizer, MovingFramesReachThePanelWithoutWakingThePortThreadEachTime)
{
    std::string moving;
    for (int frame = 0; frame < 25; frame++)
        moving += std::string(frame % 2 ? "spectrum 64 0" : "spectrum 255 0") + "\nwait 40\n";
    ScenarioRun run = runScenarioTextWith("visualizer-moving",
                                          "title 1. Band - Tune - Winamp\n" + PLAYING +
                                              "spectrum 64\nstart\ntick\nwait 500\ndispatch-times rising\n" + moving +
                                              "dispatch-times moving\nwait 100\nsnapshot shown\nquit\n",
                                          {"Graphic Screen=1", "Visualizer=1"});
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    EXPECT_EQ(litIn(run, "shown", 120, 28, 120, 43), 16) << "the last set (the 25th): the lowest band full";
    EXPECT_EQ(litIn(run, "shown", 121, 28, 123, 43), 0) << "its gap and the silent band";
    std::string line;
    for (const std::string &event : run.events())
        if (event.rfind("dispatch-times moving ", 0) == 0)
            line = event;
    ASSERT_FALSE(line.empty());
    size_t frames = line.find(" timer-proc ");
    ASSERT_NE(frames, std::string::npos) << line;
    EXPECT_GE(std::stoi(line.substr(frames + 12)), 20) << "a frame every 40 ms: " << line;
    size_t p90 = line.find(" set-event-p90-ns ", frames);
    ASSERT_NE(p90, std::string::npos) << line;
    EXPECT_EQ(std::stoll(line.substr(p90 + 18)), 0) << "nine frames in ten without a wake-up: " << line;
}
