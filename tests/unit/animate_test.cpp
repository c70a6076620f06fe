// The tour animation: a recorded run replayed on the virtual clock.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bus.h"
#include "controller/controller.h"
#include "replay.h"
#include "settings.h"
#include "sim_port.h"

namespace {

const uint16_t PORT_888 = 888;

// Records what the driver sends, as the host simulator does: the port log
// and a timeline mark at each step.
struct Recording {
    std::vector<TimelineMark> marks;

    Recording()
    {
        settingsReset();
        settings.lptPort = PORT_888;
        emulatorReset(&simPortEmulator, PORT_888, 0xCC);
        mark("start 888 204");
        lcdPortInit();
        lcdInit();
        lcdClearText();
        lcdClearGraphics();
    }
    void mark(const std::string &what) { marks.push_back({simPortEmulator.accessCount, what}); }
    void print(int column, const char *text)
    {
        lcdGotoXY(column, 0);
        lcdPrint(text);
    }
    Animation replay() const { return replayRun(simPortEmulator.accesses, marks); }
};

PanelImage livePanel()
{
    PanelImage image;
    renderPanel(simPortEmulator.lcd, &image);
    return image;
}

bool samePicture(const PanelImage &a, const PanelImage &b)
{
    return std::memcmp(a.pixel, b.pixel, sizeof a.pixel) == 0;
}

// The first frame whose picture has a lit dot in text column `column`.
const AnimationFrame *firstFrameWithText(const Animation &animation, int column)
{
    for (const AnimationFrame &frame : animation.frames)
        for (int y = 0; y < 8; y++)
            for (int x = column * 6; x < column * 6 + 6; x++)
                if (frame.image.pixel[y][x])
                    return &frame;
    return nullptr;
}

TEST(Animation, TicksComeAQuarterSecondApartAndTheLastFrameIsTheLivePanel)
{
    Recording run;
    run.print(0, "A");
    run.mark("tick");
    run.print(10, "B");
    run.mark("tick");
    run.print(20, "C");
    Animation animation = run.replay();

    const AnimationFrame *a = firstFrameWithText(animation, 0);
    const AnimationFrame *b = firstFrameWithText(animation, 10);
    const AnimationFrame *c = firstFrameWithText(animation, 20);
    ASSERT_TRUE(a && b && c);
    EXPECT_LT(a->startUs, TICK_US);
    EXPECT_GE(b->startUs, TICK_US);
    EXPECT_LT(b->startUs, TICK_US + FRAME_US);
    EXPECT_GE(c->startUs, 2 * TICK_US);
    EXPECT_LT(c->startUs, 2 * TICK_US + FRAME_US);
    EXPECT_TRUE(samePicture(animation.frames.back().image, livePanel()));
    EXPECT_EQ(animation.endUs, animation.frames.back().startUs + FINAL_HOLD_US);
    for (size_t i = 1; i < animation.frames.size(); i++) {
        EXPECT_GT(animation.frames[i].startUs, animation.frames[i - 1].startUs);
        EXPECT_FALSE(samePicture(animation.frames[i].image, animation.frames[i - 1].image)) << i;
    }
}

TEST(Animation, PortTrafficTakesOneMicrosecondPerAccessAndDialogStepsTakeAPersonsTime)
{
    Recording run;
    run.mark("config");
    uint64_t before = simPortEmulator.accessCount;
    while (simPortEmulator.accessCount - before < 3 * FRAME_US)
        run.print(0, "x");
    run.print(30, "D");
    Animation animation = run.replay();
    const AnimationFrame *d = firstFrameWithText(animation, 30);
    ASSERT_NE(d, nullptr);
    uint64_t drawnAtUs = USER_ACTION_US + simPortEmulator.accessCount * ACCESS_US;
    EXPECT_LE(d->startUs, drawnAtUs);
    EXPECT_GT(d->startUs + FRAME_US, drawnAtUs);
}

TEST(Animation, GifHoldsEveryFrameWithDelaysAddingUpToTheRun)
{
    Recording run;
    run.print(0, "A");
    run.mark("tick");
    run.print(10, "B");
    Animation animation = run.replay();
    std::string path = testing::TempDir() + "animation_test.gif";
    std::string error;
    ASSERT_TRUE(writeAnimatedGif(animation, path, 2, &error)) << error;

    int status = 0;
    GifFileType *gif = DGifOpenFileName(path.c_str(), &status);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 480);
    EXPECT_EQ(gif->SHeight, 128);
    EXPECT_EQ((size_t)gif->ImageCount, animation.frames.size());
    long totalCs = 0;
    for (int i = 0; i < gif->ImageCount; i++) {
        GraphicsControlBlock control;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        totalCs += control.DelayTime;
    }
    EXPECT_EQ(totalCs, (long)((animation.endUs + 5000) / 10000));
    // The last picture's top-left lit dot of "B" is the panel's dot colour.
    const SavedImage &last = gif->SavedImages[gif->ImageCount - 1];
    const AnimationFrame &lastFrame = animation.frames.back();
    for (int y = 0; y < 8; y++)
        for (int x = 60; x < 66; x++)
            EXPECT_EQ(last.RasterBits[(y * 2) * 480 + x * 2], lastFrame.image.pixel[y][x] ? SHADE_PIXEL : SHADE_BACKGROUND);
    DGifCloseFile(gif, &status);
    std::remove(path.c_str());
}

TEST(Animation, MalformedLogsAreRefusedWithTheLine)
{
    std::string path = testing::TempDir() + "animation_ports.txt";
    FILE *file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("out 0378 2C\nout 037A zz\n", file);
    std::fclose(file);
    std::vector<PortAccess> accesses;
    std::string error;
    EXPECT_FALSE(readPortLog(path, &accesses, &error));
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;

    file = std::fopen(path.c_str(), "w");
    std::fputs("10 tick\n5 tick\n", file);
    std::fclose(file);
    std::vector<TimelineMark> marks;
    EXPECT_FALSE(readTimeline(path, &marks, &error));
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;
    std::remove(path.c_str());
}

} // namespace

// Runs joined into one animation, as the graphic tour joins the visualizer's
// run to its own: the second plays after the first's hold, a frame equal to
// the one before it merges, and panels of two sizes are refused.
TEST(Animation, RunsPlayOneAfterAnotherAndOnlyOnOnePanelSize)
{
    auto image = [](int width, int height, int litX) {
        PanelImage picture{};
        picture.width = width;
        picture.height = height;
        picture.pixel[0][litX] = 1;
        return picture;
    };
    Animation whole;
    whole.frames = {{image(240, 64, 1), 0}, {image(240, 64, 2), 40000}};
    whole.endUs = 100000;
    Animation next;
    next.frames = {{image(240, 64, 2), 0}, {image(240, 64, 3), 60000}};
    next.endUs = 80000;
    std::string error;
    ASSERT_TRUE(animationAppend(&whole, next, &error)) << error;
    ASSERT_EQ(whole.frames.size(), 3u) << "the equal frame merged into the one before";
    EXPECT_EQ(whole.frames[1].startUs, 40000u);
    EXPECT_EQ(whole.frames[2].startUs, 160000u);
    EXPECT_EQ(whole.frames[2].image.pixel[0][3], 1);
    EXPECT_EQ(whole.endUs, 180000u);

    Animation tall;
    tall.frames = {{image(240, 128, 1), 0}};
    tall.endUs = 10000;
    EXPECT_FALSE(animationAppend(&whole, tall, &error));
    EXPECT_EQ(error, "the runs are of panels of different sizes (240x64 and 240x128)");
    EXPECT_EQ(whole.frames.size(), 3u) << "a refused run adds nothing";

    Animation empty;
    empty.endUs = 0;
    ASSERT_TRUE(animationAppend(&empty, tall, &error));
    EXPECT_EQ(empty.frames.size(), 1u);
    EXPECT_EQ(empty.endUs, 10000u) << "the first run starts at 0";
}
