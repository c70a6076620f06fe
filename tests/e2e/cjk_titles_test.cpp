// Japanese, Chinese and Korean titles on the graphic screen, from the glyph
// file beside the plug-in, on a Western code page: each drawn as the layout
// draws it with the same file, neighbouring ideographs as different
// glyphs, Latin and kana on one baseline; a missing or damaged file costs
// boxes and nothing else.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glyph_file.h"
#include "../screen_frames.h"

namespace {

const std::vector<std::string> GRAPHIC = {"Graphic Screen=1"};
const std::string PLAYING = "answer 104 1\nanswer 105 0 75000\nanswer 105 1 200\nanswer 124 7\n"
                            "answer 126 0 44\nanswer 126 1 128\nanswer 126 2 2\n";

std::vector<bool> expectedPanel(const std::u32string &artist, const std::u32string &song, int songOffset = 0)
{
    Frame frame = drawnStatus(
        {artist, 0, song, songOffset, 1, "02:05/03:20", "01/07  44 kHz  128 kbps  Stereo", 75000, 200});
    std::vector<bool> pixels;
    for (int y = 0; y < PANEL_HEIGHT; y++)
        for (int x = 0; x < PANEL_WIDTH; x++)
            pixels.push_back(framePixelAt(frame, x, y));
    return pixels;
}

struct CjkTitles : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(glyphFileOpen(&screenGlyphFile, PIXELVANE_NATIVE_GLYPH_FILE)); }
    void TearDown() override { glyphFileClose(&screenGlyphFile); }
};

} // namespace

TEST_F(CjkTitles, JapaneseChineseAndKoreanShowInTheirOwnGlyphsAndOneIdeographApartShowsApart)
{
    const struct {
        const char *name;
        std::string title, neighbour;
        std::u32string artist, song, neighbourSong;
    } titles[] = {
        {"japanese", "1. 宇多田ヒカル - 未来の歌 - Winamp", "1. 宇多田ヒカル - 末来の歌 - Winamp", U"宇多田ヒカル",
         U"未来の歌", U"末来の歌"},
        {"chinese", "1. 王菲 - 红豆 - Winamp", "1. 王菲 - 红壹 - Winamp", U"王菲", U"红豆", U"红壹"},
        {"korean", "1. 아이유 - 좋은 날 - Winamp", "1. 아이유 - 좋은 낮 - Winamp", U"아이유", U"좋은 날", U"좋은 낮"},
    };
    for (const auto &t : titles) {
        SCOPED_TRACE(t.name);
        ScenarioRun run = runScenarioTextWith(std::string("cjk-") + t.name,
                                              "title " + t.title + "\n" + PLAYING + "start\ntick\nsnapshot shown\n" +
                                                  "title " + t.neighbour + "\ntick\nsnapshot neighbour\nquit\n",
                                              GRAPHIC);
        expectCleanRun(run);
        std::vector<bool> shown = expectedPanel(t.artist, t.song);
        std::vector<bool> neighbour = expectedPanel(t.artist, t.neighbourSong);
        EXPECT_EQ(run.panel("shown"), shown);
        EXPECT_EQ(run.panel("neighbour"), neighbour);
        EXPECT_NE(shown, neighbour) << "the two ideographs are drawn as different glyphs";
        // Not boxes: the title's glyphs are not those a missing file gives.
        glyphFileClose(&screenGlyphFile);
        EXPECT_NE(expectedPanel(t.artist, t.song), shown);
        ASSERT_TRUE(glyphFileOpen(&screenGlyphFile, PIXELVANE_NATIVE_GLYPH_FILE));
    }
}

TEST_F(CjkTitles, LatinAndKanaShareABaselineAndALongJapaneseSongScrolls)
{
    const std::u32string artist = U"Perfume";
    const std::u32string song = U"ポリリズム (Polyrhythm) 〜 東京の夜空に響くエレクトロニック・サウンド 〜 リミックス";
    ScenarioRun run = runScenarioTextWith(
        "cjk-mixed-scrolling",
        "title 1. Perfume - ポリリズム (Polyrhythm) 〜 東京の夜空に響くエレクトロニック・サウンド 〜 リミックス - Winamp\n" +
            PLAYING + "start\ntick\nsnapshot start\nwait 4000\nsnapshot moving\nquit\n",
        GRAPHIC);
    expectCleanRun(run);
    EXPECT_EQ(run.panel("start"), expectedPanel(artist, song));
    int overflow = rowOverflow(song);
    ASSERT_GT(overflow, 100);
    std::vector<bool> moving = run.panel("moving");
    int offset = -1;
    for (int k = 1; k <= overflow && offset < 0; k++)
        if (moving == expectedPanel(artist, song, k))
            offset = k;
    EXPECT_GT(offset, 5) << "the song moved, pixel by pixel";
}

// Without the file, or with a damaged one, the same titles show their
// ideographs as boxes, everything else as it is, and the host goes on.
TEST_F(CjkTitles, AMissingOrDamagedGlyphFileCostsBoxesAndNothingElse)
{
    std::string good = readFile(PIXELVANE_NATIVE_GLYPH_FILE);
    ASSERT_GT(good.size(), 100000u);
    std::string badIndex = good;
    for (size_t i = 32; i < 32 + 64; i++) // the index's first ranges
        badIndex[i] = (char)0xFF;
    writeScenarioFile("glyphs-bad-index.bin", badIndex);
    writeScenarioFile("glyphs-cut-short.bin", good.substr(0, good.size() / 3));
    writeScenarioFile("glyphs-noise.bin", std::string(4096, 'x'));
    glyphFileClose(&screenGlyphFile);
    std::vector<bool> boxes = expectedPanel(U"宇多田ヒカル", U"未来 Song");
    const struct {
        const char *name;
        std::string steps;
    } cases[] = {
        {"missing", "remove pixelvane-glyphs.bin\n"},
        {"bad-index", "install pixelvane-glyphs.bin glyphs-bad-index.bin\n"},
        {"cut-short", "install pixelvane-glyphs.bin glyphs-cut-short.bin\n"},
        {"noise", "install pixelvane-glyphs.bin glyphs-noise.bin\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioRun run = runScenarioTextWith(std::string("cjk-file-") + c.name,
                                              c.steps + "title 1. 宇多田ヒカル - 未来 Song - Winamp\n" + PLAYING +
                                                  "start\ntick\nsnapshot shown\nquit\n",
                                              GRAPHIC);
        expectCleanRun(run);
        EXPECT_EQ(run.panel("shown"), boxes);
    }
    ASSERT_TRUE(glyphFileOpen(&screenGlyphFile, PIXELVANE_NATIVE_GLYPH_FILE));
}
