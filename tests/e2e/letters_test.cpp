// Letters from 0x80 up (Letters=1): the real plug-in under Wine, with the
// host's ANSI code page set for each run. The host sets the title as
// Unicode and Wine hands it to the plug-in in the code page, so every cell
// is checked against the glyph of the letter the title holds, looked up by
// that letter, never through the bytes the plug-in sent.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <sstream>
#include <string>
#include <vector>

#include "font.h"
#include "letters/letter_glyphs.h"

namespace {

const int CELL_WIDTH = 6;
const int CELL_HEIGHT = 8;
const int PANEL_WIDTH = 240;
const int FIRST_TEXT_COLUMN = 4; // artist at (4, 1), song at (4, 2)
// The icon covers columns 36-38 of rows 0-3: texts for the cell checks
// stay within 32 cells.
const size_t TEXT_CELLS = 32;
const int GRAPHIC_HOME = 0x0200;
const int CG_RAM_LETTERS = 0x1C00;
const char LETTERS_INI[] = "[Pixelvane]\r\nLetters=1\r\nNoIntro=1\r\n";

std::vector<unsigned> unicodeOf(const std::string &utf8)
{
    std::vector<unsigned> letters;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = (unsigned char)utf8[i];
        int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        unsigned letter = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; k++)
            letter = (letter << 6) | ((unsigned char)utf8[i + k] & 0x3F);
        letters.push_back(letter);
        i += length;
    }
    return letters;
}

std::string utf8Of(const std::vector<unsigned> &letters)
{
    std::string text;
    for (unsigned letter : letters) {
        if (letter < 0x80) {
            text += (char)letter;
        } else if (letter < 0x800) {
            text += (char)(0xC0 | (letter >> 6));
            text += (char)(0x80 | (letter & 0x3F));
        } else {
            text += (char)(0xE0 | (letter >> 12));
            text += (char)(0x80 | ((letter >> 6) & 0x3F));
            text += (char)(0x80 | (letter & 0x3F));
        }
    }
    return text;
}

// The character of each byte 0x80-0xFF of a code page as the C library's
// converter decodes it; 0 where it is undefined.
std::vector<unsigned> systemCodePage(int codePage)
{
    std::vector<unsigned> letters(128, 0);
    iconv_t converter = iconv_open("UTF-32LE", ("CP" + std::to_string(codePage)).c_str());
    if (converter == (iconv_t)-1)
        return letters;
    for (int byte = 0x80; byte <= 0xFF; byte++) {
        char in = (char)byte;
        unsigned char out[4] = {0, 0, 0, 0};
        char *inPointer = &in, *outPointer = (char *)out;
        size_t inLeft = 1, outLeft = sizeof out;
        if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != (size_t)-1 && outLeft == 0)
            letters[byte - 0x80] = out[0] | out[1] << 8 | out[2] << 16 | (unsigned)out[3] << 24;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return letters;
}

// A letter or sign that the panel must show: neither undefined nor a
// (no-break) space or the soft hyphen.
bool printable(unsigned letter)
{
    return letter != 0 && letter != 0x00A0 && letter != 0x00AD;
}

struct Panel {
    std::vector<bool> lit; // 240 x 64 from NAME.pbm
    std::vector<unsigned char> ram;
    bool pixel(int x, int y) const { return lit.at(y * PANEL_WIDTH + x); }
    bool graphic(int x, int y) const
    {
        return (ram.at(GRAPHIC_HOME + y * 40 + x / CELL_WIDTH) & (0x20 >> (x % CELL_WIDTH))) != 0;
    }
};

Panel panelOf(const ScenarioRun &run, const std::string &snapshot)
{
    Panel panel;
    panel.ram = run.ram(snapshot);
    std::istringstream in(readFile(run.outDir + "/" + snapshot + ".pbm"));
    std::string magic;
    int width = 0, height = 0;
    in >> magic >> width >> height;
    char c;
    while (in >> c) {
        if (c == '0' || c == '1')
            panel.lit.push_back(c == '1');
    }
    return panel;
}

// What the cell of `letter` looks like: the ROM's glyph for ASCII, the
// plug-in's own for the rest.
bool expectedGlyph(unsigned letter, unsigned char rows[GLYPH_BYTES])
{
    if (letter < 0x80) {
        for (int row = 0; row < GLYPH_BYTES; row++)
            rows[row] = characterRomRow((unsigned char)(letter - 0x20), row);
        return true;
    }
    return letterGlyph(letter, rows);
}

// Each cell from (FIRST_TEXT_COLUMN, row) shows the glyph of its letter,
// over whatever the picture has lit there.
void expectLettersInRow(const Panel &panel, int row, const std::string &utf8)
{
    std::vector<unsigned> letters = unicodeOf(utf8);
    ASSERT_LE(letters.size(), TEXT_CELLS);
    for (size_t i = 0; i < letters.size(); i++) {
        unsigned char rows[GLYPH_BYTES];
        bool drawn = expectedGlyph(letters[i], rows);
        EXPECT_TRUE(drawn || letters[i] == ' ') << "no glyph for U+" << std::hex << letters[i];
        int column = FIRST_TEXT_COLUMN + (int)i;
        int wrong = 0;
        for (int y = 0; y < CELL_HEIGHT; y++)
            for (int x = 0; x < CELL_WIDTH; x++) {
                int px = column * CELL_WIDTH + x, py = row * CELL_HEIGHT + y;
                bool expected = ((rows[y] >> (5 - x)) & 1) || panel.graphic(px, py);
                wrong += panel.pixel(px, py) != expected;
            }
        EXPECT_EQ(wrong, 0) << "cell (" << column << ", " << row << ") for U+" << std::hex << letters[i];
    }
}

std::string titleStep(const std::string &artist, const std::string &song)
{
    return "title 1. " + artist + " - " + song + " - Winamp\n";
}

// Every printable character of the code page, in pieces of TEXT_CELLS.
std::vector<std::string> sweepTexts(const std::vector<unsigned> &codePage)
{
    std::vector<std::string> texts;
    std::vector<unsigned> piece;
    for (unsigned letter : codePage) {
        if (!printable(letter))
            continue;
        piece.push_back(letter);
        if (piece.size() == TEXT_CELLS) {
            texts.push_back(utf8Of(piece));
            piece.clear();
        }
    }
    if (!piece.empty())
        texts.push_back(utf8Of(piece));
    if (texts.size() % 2 != 0)
        texts.push_back("x");
    return texts;
}

struct LanguageTitle {
    const char *locale;
    int codePage;
    const char *artist;
    const char *song;
};

const LanguageTitle TITLES[] = {
    {"de_DE.UTF-8", 1252, "Björk Guðmundsdóttir", "Jóga für Zoë «Œuvre» 5€ ß"},
    {"pl_PL.UTF-8", 1250, "Zażółć Gęślą Jaźń", "Dvořák: Šťastné Ľúbostné Őrült"},
    {"ru_RU.UTF-8", 1251, "Земфира Рамазанова", "Хочешь? Ёжик, Їжак, Ґанок, Ђорђе"},
    {"el_GR.UTF-8", 1253, "Μίκης Θεοδωράκης", "Ζορμπάς: Ψυχή ΐΰ Ώρα ς"},
    {"tr_TR.UTF-8", 1254, "Barış Manço", "Dağlar Dağlar İĞŞ ğış Çöü"},
    {"lt_LT.UTF-8", 1257, "Žalgiris Ąžuolas", "Ėglė Įėjimas Ųų Ķēniņš Ļaudis"},
};

} // namespace

TEST(Letters, EachCodePageShowsTheLettersOfItsTitlesAndHoldsItsGlyphsInCgRam)
{
    writeScenarioFile("letters.ini", LETTERS_INI);
    for (const LanguageTitle &title : TITLES) {
        SCOPED_TRACE(title.locale);
        std::vector<unsigned> codePage = systemCodePage(title.codePage);
        std::vector<std::string> sweep = sweepTexts(codePage);
        std::string scenario = "install plugin.ini letters.ini\nanswer 104 1\n" +
                               titleStep(title.artist, title.song) + "start\ntick\nsnapshot language\n";
        for (size_t i = 0; i < sweep.size(); i += 2)
            scenario += titleStep(sweep[i], sweep[i + 1]) + "tick\nsnapshot sweep" + std::to_string(i / 2) + "\n";
        scenario += "quit\n";
        ScenarioRun run = runScenarioText("letters-" + std::to_string(title.codePage), scenario, title.locale);
        expectCleanRun(run);

        Panel language = panelOf(run, "language");
        expectLettersInRow(language, 1, title.artist);
        expectLettersInRow(language, 2, title.song);
        for (size_t i = 0; i < sweep.size(); i += 2) {
            Panel panel = panelOf(run, "sweep" + std::to_string(i / 2));
            expectLettersInRow(panel, 1, sweep[i]);
            expectLettersInRow(panel, 2, sweep[i + 1]);
        }

        // CG RAM: the glyph of every byte's character, blank where the code
        // page has no printable one.
        std::vector<unsigned char> ram = run.ram("language");
        ASSERT_EQ(ram.size(), 8192u);
        int wrongGlyphs = 0;
        for (int code = 0x80; code <= 0xFF; code++) {
            unsigned char rows[GLYPH_BYTES];
            letterGlyph(codePage[code - 0x80], rows);
            for (int row = 0; row < GLYPH_BYTES; row++)
                wrongGlyphs += ram[CG_RAM_LETTERS + (code - 0x80) * GLYPH_BYTES + row] != rows[row];
        }
        EXPECT_EQ(wrongGlyphs, 0);

        // One load, right after the set-up: offset 3, address 0x1C00, one
        // auto write of 1 KiB.
        Lines transfers = run.transfers();
        int offset = findLine(transfers, "C 22");
        ASSERT_GE(offset, 3);
        EXPECT_EQ(transfers[offset - 3], "C 9C");
        EXPECT_EQ(Lines(transfers.begin() + offset - 2, transfers.begin() + offset + 5),
                  (Lines{"D 03", "D 00", "C 22", "D 00", "D 1C", "C 24", "C B0"}));
        EXPECT_EQ(transfers.at(offset + 5 + 1024), "C B2");
        EXPECT_EQ(countLines(transfers, "C 22"), 1);
    }
}

// Without the key, and with it under a code page outside the tables, the
// plug-in sends what it always did: no offset, no glyphs, and a blank (code
// 0) for every byte from 0x80 up.
TEST(Letters, AbsentKeyOrUnknownCodePageSendsTheClassicBytes)
{
    writeScenarioFile("letters.ini", LETTERS_INI);
    writeScenarioFile("classic.ini", "[Pixelvane]\r\nNoIntro=1\r\n");
    const std::string title = "answer 104 1\ntitle 1. Земфира - Хочешь - Winamp\nstart\ntick\nsnapshot s\nquit\n";
    ScenarioRun absent = runScenarioText("letters-absent", "install plugin.ini classic.ini\n" + title, "ru_RU.UTF-8");
    expectCleanRun(absent);
    EXPECT_EQ(countLines(absent.transfers(), "C 22"), 0);
    EXPECT_EQ(absent.textRow("s", 1), std::string(40, ' ')) << "Cyrillic bytes show as code 0";
    EXPECT_EQ(absent.textRow("s", 2), std::string(40, ' '));
    std::vector<unsigned char> ram = absent.ram("s");
    EXPECT_EQ(std::vector<unsigned char>(ram.begin() + CG_RAM_LETTERS, ram.end()), std::vector<unsigned char>(1024, 0));

    ScenarioRun unknown = runScenarioText("letters-unknown", "install plugin.ini letters.ini\n" + title, "he_IL.UTF-8");
    ScenarioRun unknownClassic = runScenarioText("letters-unknown-classic", "install plugin.ini classic.ini\n" + title,
                                                 "he_IL.UTF-8");
    expectCleanRun(unknown);
    expectCleanRun(unknownClassic);
    EXPECT_EQ(countLines(unknown.transfers(), "C 22"), 0);
    EXPECT_TRUE(unknown.ports() == unknownClassic.ports()) << "code page 1255 is outside the tables";
}
