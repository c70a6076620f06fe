// Letters from 0x80 up: the code page tables, the plug-in's own glyphs, and
// their load into CG RAM through the bus into the emulated controller.
#include <gtest/gtest.h>

#include <iconv.h>

#include <cstring>
#include <string>

#include "bus.h"
#include "letters/code_pages.h"
#include "controller/controller.h"
#include "font.h"
#include "letters/letter_glyphs.h"
#include "letters/letters.h"
#include "settings.h"
#include "sim_port.h"

namespace {

const int CODE_PAGES[] = {1252, 1250, 1251, 1253, 1254, 1257};
const uint8_t RAM_FILL = 0xA5;
// One data byte costs 11 port accesses and one command 13: the offset
// (2 data, 1 command), the address (2 data, 1 command), the auto write,
// 1024 glyph bytes and the auto reset.
const uint64_t LOAD_ACCESSES = (2 + 2 + 1024) * 11 + 4 * 13; // 11,360

struct LetterLoad : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        emulatorReset(&simPortEmulator, LPT_PORT_378, 0xCC);
        lcdPortInit();
        lcdInit();
        std::memset(simPortEmulator.lcd.ram, RAM_FILL, sizeof simPortEmulator.lcd.ram);
        simPortEmulator.transfers.clear();
        simPortEmulator.accesses.clear();
    }
    void TearDown() override { lcdShowHighBytesFromCgRam(false); }

    std::string transfers(size_t from, size_t count) const
    {
        std::string text;
        char item[8];
        for (size_t i = from; i < from + count && i < simPortEmulator.transfers.size(); i++) {
            const Transfer &t = simPortEmulator.transfers[i];
            std::snprintf(item, sizeof item, "%c %02X ", t.command ? 'C' : 'D', t.value);
            text += item;
        }
        if (!text.empty())
            text.pop_back();
        return text;
    }
};

unsigned systemLetter(int codePage, int byte)
{
    iconv_t converter = iconv_open("UTF-32LE", ("CP" + std::to_string(codePage)).c_str());
    if (converter == (iconv_t)-1)
        return ~0u;
    char in = (char)byte;
    unsigned char out[4] = {0, 0, 0, 0};
    char *inPointer = &in, *outPointer = (char *)out;
    size_t inLeft = 1, outLeft = sizeof out;
    unsigned letter = 0;
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != (size_t)-1 && outLeft == 0)
        letter = out[0] | out[1] << 8 | out[2] << 16 | (unsigned)out[3] << 24;
    iconv_close(converter);
    return letter;
}

bool blank(const unsigned char rows[GLYPH_BYTES])
{
    for (int row = 0; row < GLYPH_BYTES; row++)
        if (rows[row] != 0)
            return false;
    return true;
}

} // namespace

TEST(CodePages, TablesAreTheSystemConvertersAndOnlyTheListedPagesHaveOne)
{
    for (int codePage : CODE_PAGES) {
        SCOPED_TRACE(codePage);
        const unsigned short *table = codePageHighHalf(codePage);
        ASSERT_NE(table, nullptr);
        for (int byte = 0x80; byte <= 0xFF; byte++)
            EXPECT_EQ(table[byte - 0x80], systemLetter(codePage, byte)) << "byte " << byte;
    }
    for (int other : {0, 437, 850, 932, 1255, 1256, 1258, 65001})
        EXPECT_EQ(codePageHighHalf(other), nullptr) << other;
}

// Every letter and sign of every listed code page has a glyph inside the
// cell (column 5 and row 7 blank, like the ROM's); spaces, the soft hyphen
// and undefined bytes have none.
TEST(LetterGlyphs, EveryPrintableCharacterHasAGlyphInsideTheCellAndTheRestAreBlank)
{
    for (int codePage : CODE_PAGES) {
        const unsigned short *table = codePageHighHalf(codePage);
        for (int i = 0; i < CODE_PAGE_HIGH_BYTES; i++) {
            unsigned letter = table[i];
            SCOPED_TRACE(testing::Message() << codePage << " U+" << std::hex << letter);
            unsigned char rows[GLYPH_BYTES];
            bool drawn = letterGlyph(letter, rows);
            bool printable = letter != 0 && letter != 0x00A0 && letter != 0x00AD;
            EXPECT_EQ(drawn, printable);
            EXPECT_EQ(blank(rows), !printable);
            EXPECT_EQ(rows[7], 0);
            for (int row = 0; row < GLYPH_BYTES; row++)
                EXPECT_EQ(rows[row] & ~0x3E, 0) << "row " << row << " outside the 5 columns";
        }
    }
}

// Within a code page no two characters look the same, except those that
// are the same sign: the em dash and the horizontal bar, micro and mu.
TEST(LetterGlyphs, DifferentLettersOfACodePageLookDifferent)
{
    for (int codePage : CODE_PAGES) {
        const unsigned short *table = codePageHighHalf(codePage);
        for (int i = 0; i < CODE_PAGE_HIGH_BYTES; i++) {
            for (int j = i + 1; j < CODE_PAGE_HIGH_BYTES; j++) {
                unsigned char a[GLYPH_BYTES], b[GLYPH_BYTES];
                if (!letterGlyph(table[i], a) || !letterGlyph(table[j], b))
                    continue;
                bool sameSign = (table[i] == 0x2014 && table[j] == 0x2015) ||
                                (table[i] == 0x00B5 && table[j] == 0x03BC);
                EXPECT_TRUE(sameSign || std::memcmp(a, b, GLYPH_BYTES) != 0)
                    << codePage << ": U+" << std::hex << table[i] << " and U+" << table[j];
            }
        }
    }
}

// The bases of the compositions are the ROM's own letters, so the loaded
// letters sit beside the ROM's in one style.
TEST(LetterGlyphs, LatinBasesAreTheRomLetters)
{
    for (char c = 'A'; c <= 'z'; c++) {
        if (c > 'Z' && c < 'a')
            continue;
        unsigned char rows[GLYPH_BYTES];
        ASSERT_TRUE(letterGlyph((unsigned char)c, rows)) << c;
        for (int row = 0; row < GLYPH_BYTES; row++)
            EXPECT_EQ(rows[row], characterRomRow((uint8_t)(c - 0x20), row)) << c << " row " << row;
    }
    unsigned char e[GLYPH_BYTES], eAcute[GLYPH_BYTES];
    letterGlyph('e', e);
    letterGlyph(0x00E9, eAcute);
    for (int row = 2; row < 7; row++)
        EXPECT_EQ(eAcute[row], e[row]) << "e acute is the e under an acute";
    EXPECT_NE(eAcute[0] | eAcute[1], 0);
}

TEST_F(LetterLoad, LoadSetsTheOffsetAndWritesEveryGlyphWithOneAutoWrite)
{
    uint64_t before = simPortEmulator.accessCount;
    lcdLoadLetters(1251);
    EXPECT_EQ(simPortEmulator.accessCount - before, LOAD_ACCESSES);
    ASSERT_EQ(simPortEmulator.transfers.size(), 2u + 1 + 2 + 1 + 1 + 1024 + 1);
    EXPECT_EQ(transfers(0, 7), "D 03 D 00 C 22 D 00 D 1C C 24 C B0");
    EXPECT_EQ(transfers(7 + 1024, 1), "C B2");
    EXPECT_TRUE(simPortEmulator.faults.empty());
    EXPECT_EQ(simPortEmulator.lcd.cgOffset, 3);
    EXPECT_EQ(simPortEmulator.lcd.autoMode, AUTO_OFF);
    EXPECT_EQ(simPortEmulator.lcd.mode, 0x00) << "the mode stays internal CG, OR";

    const uint8_t *ram = simPortEmulator.lcd.ram;
    const unsigned short *table = codePageHighHalf(1251);
    for (int code = 0; code < CG_RAM_CODES; code++) {
        unsigned char rows[GLYPH_BYTES];
        letterGlyph(table[code], rows);
        EXPECT_EQ(std::memcmp(ram + CG_RAM_LETTERS + code * GLYPH_BYTES, rows, GLYPH_BYTES), 0) << code;
    }
    for (int address = 0; address < CG_RAM_LETTERS; address++)
        ASSERT_EQ(ram[address], RAM_FILL) << "the load wrote outside CG RAM at " << address;
}

TEST_F(LetterLoad, HighBytesAreTheirOwnCodesOnlyAfterALoadAndShowTheirGlyphs)
{
    lcdPrint("\xE9");
    lcdLoadLetters(437); // outside the tables: nothing sent, nothing changed
    lcdPrint("\xE9");
    EXPECT_EQ(transfers(0, 100), "D 00 C C0 D 00 C C0");

    lcdLoadLetters(1252);
    lcdClearText();
    lcdClearGraphics();
    lcdGotoXY(4, 1);
    simPortEmulator.transfers.clear();
    lcdPrint("Caf\xE9 \x80\x1F");
    EXPECT_EQ(transfers(0, 100), "D 23 C C0 D 41 C C0 D 46 C C0 D E9 C C0 D 00 C C0 D 80 C C0 D 00 C C0");

    PanelImage image;
    renderPanel(simPortEmulator.lcd, &image);
    unsigned char eAcute[GLYPH_BYTES], euro[GLYPH_BYTES];
    ASSERT_TRUE(letterGlyph(0x00E9, eAcute));
    ASSERT_TRUE(letterGlyph(0x20AC, euro));
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 6; x++) {
            EXPECT_EQ(image.pixel[8 + y][7 * 6 + x], (eAcute[y] >> (5 - x)) & 1) << x << "," << y;
            EXPECT_EQ(image.pixel[8 + y][9 * 6 + x], (euro[y] >> (5 - x)) & 1) << x << "," << y;
        }

    lcdShowHighBytesFromCgRam(false);
    simPortEmulator.transfers.clear();
    lcdPrint("\xE9");
    EXPECT_EQ(transfers(0, 100), "D 00 C C0");
}
