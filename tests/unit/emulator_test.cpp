// The T6963C emulator, driven through its port card as a real program
// would drive a parallel port.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "emulator.h"
#include "font.h"

namespace {

const uint16_t BASE = 0x278;
const uint16_t DATA = BASE;
const uint16_t STATUS = BASE + 1;
const uint16_t CONTROL = BASE + 2;

// Control register bits (1 asserts the active-low line behind the inverter).
const uint8_t WR = 0x01, CE = 0x02, CD = 0x04, RD = 0x08, DRIVERS_OFF = 0x20;

struct EmulatorTest : ::testing::Test {
    Emulator emu;
    void SetUp() override { emulatorReset(&emu, BASE, 0x00); }

    void out(uint16_t port, uint8_t value) { emulatorOut(&emu, port, value); }
    uint8_t in(uint16_t port) { return emulatorIn(&emu, port); }

    void write(bool command, uint8_t value)
    {
        uint8_t cd = command ? CD : 0;
        out(CONTROL, cd);
        out(DATA, value);
        out(CONTROL, cd | CE);
        out(CONTROL, cd | CE | WR);
        out(CONTROL, cd | CE);
        out(CONTROL, cd);
    }
    void data(uint8_t value) { write(false, value); }
    void command(uint8_t value) { write(true, value); }
    void command(uint8_t code, uint16_t word)
    {
        data(word & 0xFF);
        data(word >> 8);
        command(code);
    }

    uint8_t read(bool status)
    {
        uint8_t cd = status ? CD : 0;
        out(CONTROL, DRIVERS_OFF | cd);
        out(CONTROL, DRIVERS_OFF | cd | CE | RD);
        uint8_t value = in(DATA);
        out(CONTROL, DRIVERS_OFF | cd);
        out(CONTROL, cd);
        return value;
    }

    // The usual set-up: text at 0, graphics at 0x200, 40 bytes a row.
    void standardLayout(uint8_t modeCommand, uint8_t displayCommand)
    {
        command(0x40, 0x0000);
        command(0x41, 40);
        command(0x42, 0x0200);
        command(0x43, 40);
        command(modeCommand);
        command(displayCommand);
    }

    PanelImage render(bool blinkShown = true)
    {
        PanelImage image;
        renderPanel(emu.lcd, &image, blinkShown);
        return image;
    }

    // Six pixels of the panel at pixel row y, cell column c, bit 5 leftmost.
    static uint8_t cellRow(const PanelImage &image, int c, int y)
    {
        uint8_t bits = 0;
        for (int i = 0; i < 6; i++)
            bits |= image.pixel[y][c * 6 + i] ? (uint8_t)(0x20 >> i) : 0;
        return bits;
    }

    static int litCount(const PanelImage &image)
    {
        int n = 0;
        for (auto &row : image.pixel)
            for (uint8_t p : row)
                n += p;
        return n;
    }
};

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::filesystem::path scratchDir(const char *name)
{
    auto dir = std::filesystem::temp_directory_path() /
               ("pixelvane-emulator-" + std::string(name) + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

// --- Port card ---

TEST_F(EmulatorTest, ControlLatchReadsBackAsWrittenAndStartsAtTheResetValue)
{
    Emulator fresh;
    emulatorReset(&fresh);
    EXPECT_EQ(emulatorIn(&fresh, 0x37A), 0xCC);
    EXPECT_TRUE(fresh.logAccesses);

    out(CONTROL, 0xF0);
    EXPECT_EQ(in(CONTROL), 0xF0);
    out(CONTROL, 0x5A & ~(WR | CE));
    EXPECT_EQ(in(CONTROL), 0x58);
}

TEST_F(EmulatorTest, StatusPortIsFixedAndForeignPortsAreIgnoredButCounted)
{
    uint8_t first = in(STATUS);
    command(0x90);
    EXPECT_EQ(in(STATUS), first);

    uint64_t before = emu.accessCount;
    emulatorOut(&emu, 0x378, 0x12);  // another card's data register
    emulatorOut(&emu, 0x37A, CE | WR);
    EXPECT_EQ(emulatorIn(&emu, 0x379), 0xFF);
    EXPECT_EQ(emu.accessCount, before + 3);
    EXPECT_EQ(in(CONTROL), CD);
    EXPECT_EQ(emu.transfers.size(), 1u);
}

TEST_F(EmulatorTest, AccessLogFollowsTheSwitchAndTheCountDoesNot)
{
    out(DATA, 0x2C);
    in(CONTROL);
    ASSERT_EQ(emu.accesses.size(), 2u);
    EXPECT_TRUE(emu.accesses[0].out);
    EXPECT_EQ(emu.accesses[0].port, DATA);
    EXPECT_EQ(emu.accesses[0].value, 0x2C);
    EXPECT_FALSE(emu.accesses[1].out);
    EXPECT_EQ(emu.accesses[1].port, CONTROL);

    emu.logAccesses = false;
    out(DATA, 0x11);
    in(DATA);
    EXPECT_EQ(emu.accesses.size(), 2u);
    EXPECT_EQ(emu.accessCount, 4u);
}

// --- Bus cycles ---

TEST_F(EmulatorTest, ByteIsLatchedOnTheRisingEdgeOfWriteStrobeOnly)
{
    out(DATA, 0x2C);
    out(CONTROL, CE);
    out(CONTROL, CE | WR);
    EXPECT_TRUE(emu.transfers.empty()) << "falling edge must not latch";
    out(CONTROL, CE);
    ASSERT_EQ(emu.transfers.size(), 1u);
    EXPECT_FALSE(emu.transfers[0].command);
    EXPECT_EQ(emu.transfers[0].value, 0x2C);
    out(CONTROL, 0x00);
    EXPECT_EQ(emu.transfers.size(), 1u);
    EXPECT_TRUE(emu.faults.empty());
}

TEST_F(EmulatorTest, ChipEnableRisingWhileWriteStrobeIsLowAlsoLatches)
{
    out(DATA, 0x24);
    out(CONTROL, CD | WR);
    out(CONTROL, CD | WR | CE);
    out(CONTROL, CD | WR);
    ASSERT_EQ(emu.transfers.size(), 1u);
    EXPECT_TRUE(emu.transfers[0].command);
    EXPECT_EQ(emu.transfers[0].value, 0x24);
}

TEST_F(EmulatorTest, CardInvertersMakeARegisterOneAssertTheLine)
{
    // Lines pulsed as if the register were the pins themselves (0 = low):
    // with the inverters that keeps /CE high and no byte may arrive.
    out(CONTROL, WR | CE | RD);
    out(DATA, 0x55);
    out(CONTROL, CE | RD);
    out(CONTROL, WR | CE | RD);
    EXPECT_TRUE(emu.transfers.empty());
}

TEST_F(EmulatorTest, BusProtocolViolationsAreRecordedAsFaults)
{
    struct Case {
        const char *fault;
        void (*run)(EmulatorTest *);
        size_t transfers;
    };
    const Case cases[] = {
        {"write strobe without chip enable",
         [](EmulatorTest *t) { t->out(CONTROL, WR); t->out(CONTROL, 0); }, 0},
        {"data register changed during write strobe",
         [](EmulatorTest *t) {
             t->out(CONTROL, CE | WR);
             t->out(DATA, 0x42);
             t->out(CONTROL, CE);
         }, 1},
        {"read strobe asserted while the port drives the bus",
         [](EmulatorTest *t) { t->out(CONTROL, CE | RD); t->out(CONTROL, 0); }, 0},
        {"write strobe while the port's data drivers are off",
         [](EmulatorTest *t) {
             t->out(CONTROL, DRIVERS_OFF | CE | WR);
             t->out(CONTROL, DRIVERS_OFF | CE);
         }, 0},
        {"write strobe while the read strobe is asserted",
         [](EmulatorTest *t) {
             t->out(CONTROL, DRIVERS_OFF | RD);
             t->out(CONTROL, DRIVERS_OFF | RD | WR | CE);
             t->out(CONTROL, DRIVERS_OFF | RD | CE);
         }, 0},
        {"C/D changed during write strobe",
         [](EmulatorTest *t) {
             t->out(CONTROL, CD);
             t->out(CONTROL, CE | WR | CD);
             t->out(CONTROL, CE | WR);
             t->out(CONTROL, CE);
         }, 1},
        // The setup rule: C/D moves only while /CE and /WR are both released,
        // not in the write that asserts them, nor while one is asserted, nor
        // in the write that releases them.
        {"C/D changed while /WR or /CE is asserted",
         [](EmulatorTest *t) { t->out(DATA, 0x80); t->out(CONTROL, CD | CE | WR); t->out(CONTROL, CD); }, 1},
        {"C/D changed while /WR or /CE is asserted",
         [](EmulatorTest *t) { t->out(CONTROL, CE); t->out(CONTROL, CD | CE); t->out(CONTROL, CD); }, 0},
        {"C/D changed while /WR or /CE is asserted",
         [](EmulatorTest *t) {
             t->out(DATA, 0x80);
             t->out(CONTROL, CD);
             t->out(CONTROL, CD | CE | WR);
             t->out(CONTROL, 0);
         }, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        emulatorReset(&emu, BASE, 0x00);
        c.run(this);
        ASSERT_EQ(emu.faults.size(), 1u);
        EXPECT_EQ(emu.faults[0], c.fault);
        EXPECT_EQ(emu.transfers.size(), c.transfers);
    }
}

// --- Controller: status and reads ---

TEST_F(EmulatorTest, StatusIsReadyOutsideAutoModeAndAutoReadyInside)
{
    EXPECT_EQ(read(true), 0x2B | 0x80);
    command(0xB0);
    EXPECT_EQ(read(true) & 0x0C, 0x0C);
    EXPECT_EQ(read(true) & 0x03, 0x00);
    command(0xB2);
    EXPECT_EQ(read(true), 0xAB);
    EXPECT_TRUE(emu.faults.empty());
}

TEST_F(EmulatorTest, DataReadsStepThePointerForwardBackOrNot)
{
    for (int i = 0; i < 4; i++)
        emu.lcd.ram[0x100 + i] = (uint8_t)(0xA0 + i);
    command(0x24, 0x0101);
    command(0xC1);                    // read, increment
    EXPECT_EQ(read(false), 0xA1);
    command(0xC5);                    // read, keep
    EXPECT_EQ(read(false), 0xA2);
    command(0xC3);                    // read, decrement
    EXPECT_EQ(read(false), 0xA2);
    command(0xC1);
    EXPECT_EQ(read(false), 0xA1);
    EXPECT_TRUE(emu.faults.empty());
}

TEST_F(EmulatorTest, DataWritesStepThePointerForwardBackOrNot)
{
    command(0x24, 0x0010);
    data(0x11);
    command(0xC0);                    // at 0x10, then 0x11
    data(0x22);
    command(0xC4);                    // at 0x11, stays
    data(0x33);
    command(0xC2);                    // overwrites 0x11, then 0x10
    data(0x44);
    command(0xC0);                    // overwrites 0x10
    EXPECT_EQ(emu.lcd.ram[0x10], 0x44);
    EXPECT_EQ(emu.lcd.ram[0x11], 0x33);
    EXPECT_EQ(emu.lcd.ram[0x12], 0x00);
    EXPECT_TRUE(emu.faults.empty());
}

TEST_F(EmulatorTest, AddressesAliasModuloEightKilobytesAndThePointerWraps)
{
    command(0x24, 0x2005);
    data(0x5A);
    command(0xC0);
    EXPECT_EQ(emu.lcd.ram[0x0005], 0x5A);

    command(0x24, 0xFFFF);
    data(0x01);
    command(0xC0);                    // 0xFFFF aliases 0x1FFF
    data(0x02);
    command(0xC0);                    // the pointer wrapped to 0x0000
    EXPECT_EQ(emu.lcd.ram[0x1FFF], 0x01);
    EXPECT_EQ(emu.lcd.ram[0x0000], 0x02);
}

TEST_F(EmulatorTest, AutoWriteStoresEveryDataByteUntilAutoReset)
{
    command(0x24, 0x0300);
    command(0xB0);
    for (uint8_t v : {0x10, 0x20, 0x30})
        data(v);
    command(0xB2);
    data(0x77);
    command(0xC0);                    // ordinary write at the next address
    EXPECT_EQ(emu.lcd.ram[0x300], 0x10);
    EXPECT_EQ(emu.lcd.ram[0x301], 0x20);
    EXPECT_EQ(emu.lcd.ram[0x302], 0x30);
    EXPECT_EQ(emu.lcd.ram[0x303], 0x77);
    EXPECT_TRUE(emu.faults.empty());
}

TEST_F(EmulatorTest, AutoModeRefusesEveryCommandButAutoReset)
{
    command(0x24, 0x0300);
    command(0xB0);
    command(0xC0);
    ASSERT_EQ(emu.faults.size(), 1u);
    EXPECT_NE(emu.faults[0].find("command 0xC0 during auto write"), std::string::npos);
    EXPECT_NE(emu.faults[0].find("data sent in auto mode as a command"), std::string::npos);
    data(0x99);                       // still in auto write
    command(0xB3);
    EXPECT_EQ(emu.lcd.ram[0x300], 0x99);
    EXPECT_EQ(read(true), 0xAB);
}

TEST_F(EmulatorTest, AutoReadReturnsSuccessiveBytes)
{
    emu.lcd.ram[0x400] = 0x01;
    emu.lcd.ram[0x401] = 0x02;
    emu.lcd.ram[0x402] = 0x03;
    command(0x24, 0x0400);
    command(0xB1);
    EXPECT_EQ(read(false), 0x01);
    EXPECT_EQ(read(false), 0x02);
    EXPECT_EQ(read(true) & 0x0C, 0x0C);
    EXPECT_EQ(read(false), 0x03);
    data(0x55);
    command(0xB2);
    ASSERT_EQ(emu.faults.size(), 1u);
    EXPECT_EQ(emu.faults[0], "data written during auto read");
}

TEST_F(EmulatorTest, BitSetAndResetTouchOneBit)
{
    command(0x24, 0x0210);
    command(0xFD);                    // set bit 5
    command(0xF8);                    // set bit 0
    command(0xF7);                    // clear bit 7 (already clear)
    EXPECT_EQ(emu.lcd.ram[0x210], 0x21);
    command(0xF5);                    // clear bit 5
    EXPECT_EQ(emu.lcd.ram[0x210], 0x01);
    EXPECT_TRUE(emu.faults.empty());
}

TEST_F(EmulatorTest, UnknownAndShortCommandsAreFaults)
{
    command(0x24, 0x0010);
    command(0x23);
    command(0xC6);
    command(0xA8);
    ASSERT_EQ(emu.faults.size(), 3u);
    EXPECT_EQ(emu.faults[0], "unknown command 0x23");
    EXPECT_EQ(emu.faults[1], "unknown command 0xC6");
    EXPECT_EQ(emu.faults[2], "unknown command 0xA8");
    EXPECT_EQ(read(true), 0xAB);

    data(0x10);
    command(0x24);                    // address pointer needs two bytes
    ASSERT_EQ(emu.faults.size(), 4u);
    EXPECT_NE(emu.faults[3].find("0x24"), std::string::npos);
}

TEST_F(EmulatorTest, ScreenPeekReadsTheCombinedByteAndFlagsOutsideTheGraphicArea)
{
    standardLayout(0x81, 0x9C);       // EXOR, text and graphics on
    emu.lcd.ram[0] = 0x21;            // 'A' in cell (0, 0)
    emu.lcd.ram[0x200] = 0x3F;        // pixel row 0, byte 0 all lit
    command(0x24, 0x0200);
    command(0xE0);
    EXPECT_EQ(read(false), (uint8_t)(characterRomRow(0x21, 0) ^ 0x3F));
    EXPECT_EQ(read(true) & 0x40, 0);

    command(0x24, 0x0200 + 40 * 64);  // just past the area
    command(0xE0);
    EXPECT_EQ(read(true) & 0x40, 0x40);
    command(0x24, 0x01FF);
    command(0xE8);
    EXPECT_EQ(read(true) & 0x40, 0x40);
    EXPECT_EQ(emu.lcd.ram[0x01FF], 0x00);
}

TEST_F(EmulatorTest, ScreenCopyStoresTheDisplayedLineInGraphicRam)
{
    standardLayout(0x80, 0x9C);
    emu.lcd.ram[1] = 0x2F;            // 'O' in cell (1, 0)
    emu.lcd.ram[0x200 + 40 * 3 + 1] = 0x01;
    command(0x24, 0x0200 + 40 * 3);   // pixel row 3
    command(0xE8);
    EXPECT_EQ(read(true) & 0x40, 0);
    EXPECT_EQ(emu.lcd.ram[0x200 + 40 * 3 + 1], characterRomRow(0x2F, 3) | 0x01);
    EXPECT_EQ(emu.lcd.ram[0x200 + 40 * 3 + 0], 0x00);
}

// --- Panel ---

TEST_F(EmulatorTest, TextCellsShowTheRomGlyph)
{
    standardLayout(0x80, 0x94);       // text only
    emu.lcd.ram[40 * 2 + 5] = 0x21;   // 'A' at (5, 2)
    PanelImage image = render();
    for (int row = 0; row < 8; row++)
        EXPECT_EQ(cellRow(image, 5, 16 + row), characterRomRow(0x21, row)) << row;
    int glyphPixels = 0;
    for (int row = 0; row < 8; row++)
        glyphPixels += __builtin_popcount(characterRomRow(0x21, row));
    EXPECT_EQ(litCount(image), glyphPixels);
    EXPECT_GT(glyphPixels, 10);
}

TEST_F(EmulatorTest, GraphicsBytesShowTheirLowSixBitsLeftmostFirst)
{
    standardLayout(0x80, 0x98);       // graphics only
    emu.lcd.ram[0x200 + 40 * 10 + 7] = 0xE0 | 0x20 | 0x01; // top bits ignored
    PanelImage image = render();
    EXPECT_EQ(image.pixel[10][42], 1);
    EXPECT_EQ(image.pixel[10][47], 1);
    EXPECT_EQ(litCount(image), 2);
}

TEST_F(EmulatorTest, ModeCombinesTextAndGraphics)
{
    struct Case {
        uint8_t mode;
        uint8_t expected;
    };
    const uint8_t text = characterRomRow(0x21, 3), graphics = 0x2A;
    for (Case c : {Case{0x80, (uint8_t)(text | graphics)}, Case{0x81, (uint8_t)(text ^ graphics)},
                   Case{0x83, (uint8_t)(text & graphics)}}) {
        SCOPED_TRACE(c.mode);
        emulatorReset(&emu, BASE, 0x00);
        standardLayout(c.mode, 0x9C);
        emu.lcd.ram[0] = 0x21;
        emu.lcd.ram[0x200 + 40 * 3] = graphics;
        EXPECT_EQ(cellRow(render(), 0, 3), c.expected);
    }
}

TEST_F(EmulatorTest, DisplayModeSwitchesEachLayer)
{
    standardLayout(0x80, 0x90);
    emu.lcd.ram[0] = 0x21;
    emu.lcd.ram[0x200 + 40 * 60 + 39] = 0x3F;
    EXPECT_EQ(litCount(render()), 0);
    command(0x98);
    EXPECT_EQ(cellRow(render(), 0, 3), 0);
    EXPECT_EQ(cellRow(render(), 39, 60), 0x3F);
    command(0x94);
    EXPECT_EQ(cellRow(render(), 0, 3), characterRomRow(0x21, 3));
    EXPECT_EQ(cellRow(render(), 39, 60), 0);
}

TEST_F(EmulatorTest, TextAttributesReverseInhibitAndBlink)
{
    standardLayout(0x84, 0x9C);
    for (int c = 0; c < 4; c++)
        emu.lcd.ram[c] = 0x21;
    emu.lcd.ram[0x200 + 0] = 0x00;    // normal
    emu.lcd.ram[0x200 + 1] = 0x05;    // reverse
    emu.lcd.ram[0x200 + 2] = 0x03;    // inhibit
    emu.lcd.ram[0x200 + 3] = 0x08;    // blink
    const uint8_t glyph = characterRomRow(0x21, 1);
    PanelImage shown = render(true);
    EXPECT_EQ(cellRow(shown, 0, 1), glyph);
    EXPECT_EQ(cellRow(shown, 1, 1), (uint8_t)(~glyph & 0x3F));
    EXPECT_EQ(cellRow(shown, 1, 7), 0x3F);
    EXPECT_EQ(cellRow(shown, 2, 1), 0);
    EXPECT_EQ(cellRow(shown, 3, 1), glyph);
    PanelImage hidden = render(false);
    EXPECT_EQ(cellRow(hidden, 0, 1), glyph);
    EXPECT_EQ(cellRow(hidden, 3, 1), 0);
}

TEST_F(EmulatorTest, CursorPatternFillsTheBottomLinesOfTheCursorCell)
{
    standardLayout(0x80, 0x97);       // text, cursor on, blinking
    command(0x21, (uint16_t)(3 | (2 << 8)));
    command(0xA2);                    // three lines
    PanelImage image = render(true);
    for (int row = 0; row < 8; row++)
        EXPECT_EQ(cellRow(image, 3, 16 + row), row >= 5 ? 0x3F : 0) << row;
    EXPECT_EQ(litCount(image), 18);
    EXPECT_EQ(litCount(render(false)), 0);
}

TEST_F(EmulatorTest, HighCodesAndExternalModeTakeGlyphsFromCgRamAtTheOffset)
{
    standardLayout(0x80, 0x94);
    command(0x22, 0x0002);            // CG RAM from 2 << 11 = 0x1000
    emu.lcd.ram[0] = 0x81;
    emu.lcd.ram[1] = 0x21;
    emu.lcd.ram[0x1000 | (0x81 << 3) | 4] = 0xED;
    emu.lcd.ram[0x1000 | (0x21 << 3) | 4] = 0x12;
    PanelImage internal = render();
    EXPECT_EQ(cellRow(internal, 0, 4), 0x2D);
    EXPECT_EQ(cellRow(internal, 1, 4), characterRomRow(0x21, 4));
    command(0x88);                    // external CG: every code from CG RAM
    EXPECT_EQ(cellRow(render(), 1, 4), 0x12);
}

// --- Files ---

TEST_F(EmulatorTest, TextDumpShowsCodesAsAsciiAndHighCodesAsQuestionMarks)
{
    standardLayout(0x80, 0x94);
    emu.lcd.ram[0] = 0x21;
    emu.lcd.ram[1] = 0x41;
    emu.lcd.ram[2] = 0x5E;
    emu.lcd.ram[3] = 0x5F;
    emu.lcd.ram[40 * 7 + 39] = 0x10;
    std::string text = textAreaAsText(emu.lcd);
    ASSERT_EQ(text.size(), 8u * 41u);
    EXPECT_EQ(text.substr(0, 5), "Aa~? ");
    EXPECT_EQ(text[40], '\n');
    EXPECT_EQ(text.substr(7 * 41, 41), std::string(39, ' ') + "0\n");
}

TEST_F(EmulatorTest, LogFilesListTransfersAndPortAccessesInHex)
{
    auto dir = scratchDir("logs");
    Emulator emu378;
    emulatorReset(&emu378);
    emulatorOut(&emu378, 0x37A, 0x00);
    emulatorOut(&emu378, 0x378, 0x2C);
    emulatorOut(&emu378, 0x37A, CE | WR);
    emulatorOut(&emu378, 0x37A, CE);
    t6963cWrite(&emu378, true, 0x24);
    emulatorIn(&emu378, 0x37A);
    ASSERT_TRUE(writeTransfers(emu378, (dir / "transfers.txt").string()));
    ASSERT_TRUE(writePortAccesses(emu378, (dir / "ports.txt").string()));
    EXPECT_EQ(readFile(dir / "transfers.txt"), "D 2C\nC 24\n");
    EXPECT_EQ(readFile(dir / "ports.txt"),
              "out 037A 00\nout 0378 2C\nout 037A 03\nout 037A 02\nin 037A 02\n");
    EXPECT_FALSE(writeTransfers(emu378, (dir / "missing" / "x.txt").string()));
    std::filesystem::remove_all(dir);
}

TEST_F(EmulatorTest, SnapshotWritesTextRamAndPlainPbmWithLitPixelsAsOne)
{
    auto dir = scratchDir("snapshot");
    standardLayout(0x80, 0x98);
    emu.lcd.ram[0x200 + 40 * 63 + 39] = 0x01; // the bottom-right pixel
    emu.lcd.ram[0x1FFF] = 0xAB;
    std::string stem = (dir / "shot").string();
    ASSERT_TRUE(writeSnapshot(emu, stem));

    std::istringstream pbm(readFile(stem + ".pbm"));
    std::string magic;
    int width = 0, height = 0;
    pbm >> magic >> width >> height;
    EXPECT_EQ(magic, "P1");
    EXPECT_EQ(width, 240);
    EXPECT_EQ(height, 64);
    std::string pixels;
    char c;
    while (pbm >> c)
        pixels += c;
    ASSERT_EQ(pixels.size(), 240u * 64u);
    EXPECT_EQ(pixels.back(), '1');
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), '1'), 1);

    std::string ram = readFile(stem + ".ram");
    ASSERT_EQ(ram.size(), 8192u);
    EXPECT_EQ((uint8_t)ram[0x1FFF], 0xAB);
    EXPECT_EQ(readFile(stem + ".txt"), textAreaAsText(emu.lcd));
    std::filesystem::remove_all(dir);
}

TEST_F(EmulatorTest, PngIsThePanelScaledInTwoColours)
{
    auto dir = scratchDir("png");
    PanelImage image = render();
    image.pixel[0][0] = 1;
    std::string path = (dir / "panel.png").string();
    ASSERT_TRUE(writePng(image, path, 3));
    std::string png = readFile(path);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    auto be32 = [&](size_t at) {
        return ((uint8_t)png[at] << 24) | ((uint8_t)png[at + 1] << 16) |
               ((uint8_t)png[at + 2] << 8) | (uint8_t)png[at + 3];
    };
    EXPECT_EQ(be32(16), 720);
    EXPECT_EQ(be32(20), 192);
    std::filesystem::remove_all(dir);
}

// --- Other modules: the glass and the font select ---

// One module each: a graphics byte 0xA5 and an 'A' (0x21) in OR mode, text
// at 0 and graphics at 0x400, both areas one glass row of cells wide. The
// pixels are worked out by hand: 0xA5 shows its low cellWidth bits, the
// highest leftmost; the ROM's 'A' is ".###." on top and "#####" in its
// fourth row, at the left of its cell whatever the cell's width.
TEST_F(EmulatorTest, OtherModulesShowTheirCellsWhereTheGlassPutsThem)
{
    struct Case {
        int width, height, cellWidth, columns;
        int graphicsRow, graphicsByte;
        std::vector<int> graphicsLitX;
        int textColumn, textRow;
        std::vector<int> topRowLitX;
        int fourthRowFirstX;
    };
    const Case cases[] = {
        {240, 128, 6, 40, 100, 39, {234, 237, 239}, 3, 15, {19, 20, 21}, 18},
        {128, 64, 8, 16, 63, 15, {120, 122, 125, 127}, 2, 7, {17, 18, 19}, 16},
        {160, 128, 8, 20, 127, 0, {0, 2, 5, 7}, 19, 0, {153, 154, 155}, 152},
    };
    const int A_GLYPH_PIXELS = 18;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "/" + std::to_string(c.cellWidth));
        emulatorReset(&emu, BASE, 0x00);
        ASSERT_TRUE(emulatorSetPanel(&emu, c.width, c.height, c.cellWidth));
        command(0x40, 0x0000);
        command(0x41, (uint16_t)c.columns);
        command(0x42, 0x0400);
        command(0x43, (uint16_t)c.columns);
        command(0x80);
        command(0x9C);
        emu.lcd.ram[0x400 + c.graphicsRow * c.columns + c.graphicsByte] = 0xA5;
        emu.lcd.ram[c.textRow * c.columns + c.textColumn] = 0x21;

        PanelImage image = render();
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        for (int x : c.graphicsLitX)
            EXPECT_EQ(image.pixel[c.graphicsRow][x], 1) << "graphics x " << x;
        int topY = c.textRow * 8;
        for (int x : c.topRowLitX)
            EXPECT_EQ(image.pixel[topY][x], 1) << "glyph x " << x;
        for (int x = c.fourthRowFirstX; x < c.fourthRowFirstX + 5; x++)
            EXPECT_EQ(image.pixel[topY + 3][x], 1) << "glyph x " << x;
        EXPECT_EQ(litCount(image), (int)c.graphicsLitX.size() + A_GLYPH_PIXELS);

        std::vector<std::string> rows;
        std::istringstream text(textAreaAsText(emu.lcd));
        for (std::string row; std::getline(text, row);)
            rows.push_back(row);
        ASSERT_EQ((int)rows.size(), c.height / 8);
        EXPECT_EQ((int)rows[0].size(), c.columns);
        EXPECT_EQ(rows[c.textRow][c.textColumn], 'A');

        // Screen peek knows the glass's last pixel row and byte.
        command(0x24, (uint16_t)(0x400 + c.graphicsRow * c.columns + c.graphicsByte));
        command(0xE0);
        EXPECT_EQ(read(true) & 0x40, 0);
        EXPECT_EQ(read(false), (uint8_t)(0xA5 & ((1 << c.cellWidth) - 1)));
        command(0x24, (uint16_t)(0x400 + c.height * c.columns));
        command(0xE0);
        EXPECT_EQ(read(true) & 0x40, 0x40);
        EXPECT_TRUE(emu.faults.empty());
    }
}

TEST_F(EmulatorTest, TheGlassOutlivesAPowerCycleAndRefusesWhatNoPictureHolds)
{
    ModuleGlass classic = emu.lcd.glass;
    EXPECT_EQ(classic.width, 240);
    EXPECT_EQ(classic.height, 64);
    EXPECT_EQ(classic.cellWidth, 6);
    ASSERT_TRUE(emulatorSetPanel(&emu, 128, 128, 8));
    t6963cReset(&emu.lcd);
    EXPECT_EQ(emu.lcd.glass.width, 128);
    EXPECT_EQ(emu.lcd.glass.cellWidth, 8);
    const int refused[][3] = {{250, 64, 6}, {264, 64, 8}, {240, 136, 6}, {240, 60, 6}, {240, 64, 7}, {0, 64, 6}};
    for (const auto &glass : refused) {
        EXPECT_FALSE(emulatorSetPanel(&emu, glass[0], glass[1], glass[2])) << glass[0] << "x" << glass[1];
        EXPECT_EQ(emu.lcd.glass.width, 128);
        EXPECT_EQ(emu.lcd.glass.height, 128);
    }
    emulatorReset(&emu, BASE, 0x00);
    EXPECT_EQ(emu.lcd.glass.width, 240);
    EXPECT_EQ(emu.lcd.glass.height, 64);
    EXPECT_EQ(emu.lcd.glass.cellWidth, 6);
}

TEST_F(EmulatorTest, PbmAndPngOfA128By64ModuleAreThatSize)
{
    auto dir = scratchDir("small");
    ASSERT_TRUE(emulatorSetPanel(&emu, 128, 64, 8));
    command(0x42, 0x0400);
    command(0x43, 16);
    command(0x98);
    emu.lcd.ram[0x400 + 16 * 63 + 15] = 0x01; // the bottom-right pixel
    std::string stem = (dir / "shot").string();
    ASSERT_TRUE(writeSnapshot(emu, stem));
    std::string pbm = readFile(stem + ".pbm");
    EXPECT_EQ(pbm.substr(0, 10), "P1\n128 64\n");
    std::string pixels;
    for (char c : pbm.substr(10))
        if (c == '0' || c == '1')
            pixels += c;
    ASSERT_EQ(pixels.size(), 128u * 64u);
    EXPECT_EQ(pixels.back(), '1');
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), '1'), 1);

    PanelImage image = render();
    std::string path = (dir / "panel.png").string();
    ASSERT_TRUE(writePng(image, path, 3));
    std::string png = readFile(path);
    ASSERT_GT(png.size(), 24u);
    auto be32 = [&](size_t at) {
        return ((uint8_t)png[at] << 24) | ((uint8_t)png[at + 1] << 16) | ((uint8_t)png[at + 2] << 8) |
               (uint8_t)png[at + 3];
    };
    EXPECT_EQ(be32(16), 384);
    EXPECT_EQ(be32(20), 192);
    std::vector<uint8_t> encoded;
    ASSERT_TRUE(encodePng(image, 3, &encoded));
    EXPECT_EQ(std::string(encoded.begin(), encoded.end()), png);
    std::filesystem::remove_all(dir);
}

} // namespace
