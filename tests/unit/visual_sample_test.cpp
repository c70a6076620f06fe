// The spectrum and levels read for a frame, and the host's hostile answers:
// no data function, no data, levels out of range or absent, a host that
// stops answering mid-play. Nothing of an earlier frame survives.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "fake_host.h"
#include "host.h"
#include "visual_sample.h"

namespace {

struct VisualSampleTest : ::testing::Test {
    void SetUp() override
    {
        fakeHostReset();
        resetVisualSampling();
        // Bytes across the whole range, the ones with the top bit set
        // included: a char read as signed would show them negative.
        for (int i = 0; i < SPECTRUM_BANDS + OSCILLOSCOPE_SAMPLES; i++)
            fakeHost.visualData[i] = (char)(i * 7 + 0x80);
    }

    // A sample as the last frame left it: everything present and non-zero.
    static VisualSample staleSample()
    {
        VisualSample sample;
        sample.haveSpectrum = true;
        memset(sample.spectrum, 0x55, sizeof sample.spectrum);
        sample.haveVu = true;
        sample.vu[0] = sample.vu[1] = 77;
        return sample;
    }
};

struct Case {
    const char *what;
    bool offersSpectrum;
    bool spectrumDataNull;
    bool offersVu;
    int left, right;
    bool haveSpectrum;
    bool haveVu;
    int vuLeft, vuRight;
};

const Case CASES[] = {
    {"a player with everything", true, false, true, 200, 13, true, true, 200, 13},
    {"the ends of the range", true, false, true, 0, 255, true, true, 0, 255},
    {"no spectrum function", false, false, true, 1, 2, false, true, 1, 2},
    {"a spectrum function with no data", true, true, true, 1, 2, false, true, 1, 2},
    {"no level function", true, false, false, 1, 2, true, false, 0, 0},
    {"no level on either channel", true, false, true, -1, -1, true, false, 0, 0},
    {"no level on one channel", true, false, true, -1, 90, true, true, 0, 90},
    {"levels beyond the range clamped", true, false, true, 256, -2, true, true, 255, 0},
    {"levels at the ends of int clamped", true, false, true, INT_MAX, INT_MIN, true, true, 255, 0},
    {"nothing at all", false, false, false, 1, 2, false, false, 0, 0},
};

TEST_F(VisualSampleTest, EachAnswerGivesItsSampleAndNothingOfTheLast)
{
    for (const Case &c : CASES) {
        SCOPED_TRACE(c.what);
        SetUp();
        fakeHost.offersSpectrum = c.offersSpectrum;
        fakeHost.spectrumDataNull = c.spectrumDataNull;
        fakeHost.offersVu = c.offersVu;
        fakeHost.vuLevels[0] = c.left;
        fakeHost.vuLevels[1] = c.right;
        VisualSample sample = staleSample();
        sampleVisual(&sample);
        EXPECT_EQ(sample.haveSpectrum, c.haveSpectrum);
        for (int band = 0; band < SPECTRUM_BANDS; band++) {
            int expected = c.haveSpectrum ? (uint8_t)fakeHost.visualData[band] : 0;
            ASSERT_EQ(sample.spectrum[band], expected) << "band " << band;
        }
        EXPECT_EQ(sample.haveVu, c.haveVu);
        EXPECT_EQ(sample.vu[0], c.vuLeft);
        EXPECT_EQ(sample.vu[1], c.vuRight);
        // Each frame asks for each function once and reads both channels.
        EXPECT_EQ(fakeHost.pointerQueries[HOST_QUERY_VU_LEVEL], 1);
        EXPECT_EQ(fakeHost.vuReads, c.offersVu ? 2 : 0);
        EXPECT_EQ(fakeHost.badVuChannels, 0);
        EXPECT_EQ(fakeHost.spectrumReads, c.offersSpectrum ? 1 : 0);
    }
}

TEST_F(VisualSampleTest, APlayerThatChangesOrStopsIsSeenAtTheNextFrame)
{
    fakeHost.offersSpectrum = fakeHost.offersSpectrumStart = fakeHost.offersVu = true;
    fakeHost.vuLevels[0] = fakeHost.vuLevels[1] = 100;
    VisualSample sample;
    sampleVisual(&sample);
    ASSERT_TRUE(sample.haveSpectrum && sample.haveVu);

    // New data while it plays: read anew, nothing cached.
    fakeHost.visualData[0] = 9;
    fakeHost.vuLevels[1] = 3;
    sampleVisual(&sample);
    EXPECT_EQ(sample.spectrum[0], 9);
    EXPECT_EQ(sample.vu[1], 3);

    // The player drops its data function and its levels: absent and zero.
    fakeHost.spectrumDataNull = true;
    fakeHost.vuLevels[0] = fakeHost.vuLevels[1] = VU_NO_LEVEL;
    sampleVisual(&sample);
    EXPECT_FALSE(sample.haveSpectrum);
    EXPECT_FALSE(sample.haveVu);
    uint8_t zero[SPECTRUM_BANDS] = {};
    EXPECT_EQ(memcmp(sample.spectrum, zero, sizeof zero), 0);
    EXPECT_EQ(sample.vu[0] + sample.vu[1], 0);

    // And it answers again.
    fakeHost.spectrumDataNull = false;
    fakeHost.vuLevels[0] = 40;
    sampleVisual(&sample);
    EXPECT_TRUE(sample.haveSpectrum);
    EXPECT_EQ(sample.spectrum[0], 9);
    EXPECT_EQ(sample.vu[0], 40);
    EXPECT_EQ(fakeHost.pointerQueries[HOST_QUERY_VISUAL_DATA] - fakeHost.spectrumStarts, 4);
}

TEST_F(VisualSampleTest, TheStartFunctionIsCalledWithOneOncePerStartOfSampling)
{
    VisualSample sample;
    // A player offering no start function yet is asked again each frame.
    fakeHost.offersSpectrum = true;
    for (int frame = 0; frame < 3; frame++)
        sampleVisual(&sample);
    EXPECT_EQ(fakeHost.spectrumStarts, 0);
    fakeHost.offersSpectrumStart = true;
    for (int frame = 0; frame < 10; frame++)
        sampleVisual(&sample);
    EXPECT_EQ(fakeHost.spectrumStarts, 1);
    EXPECT_EQ(fakeHost.lastStartArgument, HOST_VISUAL_START);
    // 13 data functions asked for, and the start function until it came.
    EXPECT_EQ(fakeHost.pointerQueries[HOST_QUERY_VISUAL_DATA], 13 + 4);

    resetVisualSampling();
    for (int frame = 0; frame < 5; frame++)
        sampleVisual(&sample);
    EXPECT_EQ(fakeHost.spectrumStarts, 2);
}

// The path reader on its own, at the edge of its buffer: the fake hands
// over exactly the units given, so a read past them is a heap overflow
// under the sanitizers.
TEST_F(VisualSampleTest, APathIsCopiedWholeWithItsTerminatorOrRefused)
{
    struct PathCase {
        const char *what;
        std::u16string units;
        bool terminated;
        int size;
        bool taken;
    } cases[] = {
        {"empty", u"", true, 1, true},
        {"fits with its terminator", u"abc", true, 4, true},
        {"one unit too long", u"abcd", true, 4, false},
        {"unterminated, as long as the buffer", u"abcd", false, 4, false},
        {"unterminated, longer than the buffer", u"abcdefgh", false, 4, false},
    };
    for (const PathCase &c : cases) {
        SCOPED_TRACE(c.what);
        fakeHostSetPlaylistFile(7, c.units, c.terminated);
        char16_t path[8];
        memset(path, 0x77, sizeof path);
        EXPECT_EQ(hostPlaylistFile(7, path, c.size), c.taken);
        EXPECT_EQ(std::u16string(path), c.taken ? c.units : u"");
    }
    fakeHost.playlistFiles.clear();
    char16_t path[4] = {u'x', 0};
    EXPECT_FALSE(hostPlaylistFile(7, path, 4));
    EXPECT_EQ(path[0], 0);
}

} // namespace
