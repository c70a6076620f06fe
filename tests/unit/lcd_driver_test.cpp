// The display driver's bus and controller layers, through the port seam
// into the emulated card and T6963C.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bus.h"
#include "controller/controller.h"
#include "font.h"
#include "panel_geometry.h"
#include "settings.h"
#include "sim_port.h"

namespace {

const uint16_t PORT_888 = 888;
const uint16_t CONTROL_890 = 890;

std::string transfersAsText(const Emulator &emu)
{
    std::string text;
    char line[8];
    for (const Transfer &t : emu.transfers) {
        std::snprintf(line, sizeof line, "%c %02X ", t.command ? 'C' : 'D', t.value);
        text += line;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

struct DriverTest : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        settings.lptPort = PORT_888;
        emulatorReset(&simPortEmulator, PORT_888, 0xCC);
    }

    // The plug-in's start-up order, then a fresh log.
    void startUp()
    {
        lcdPortInit();
        lcdInit();
        lcdClearText();
        lcdClearGraphics();
        lcdGotoXY(0, 0);
        simPortEmulator.transfers.clear();
        simPortEmulator.accesses.clear();
    }

    std::string transfers() const { return transfersAsText(simPortEmulator); }
    const std::vector<PortAccess> &accesses() const { return simPortEmulator.accesses; }

    // Accesses as one compact string: ">888=2C <890=D2 ...".
    std::string accessText() const
    {
        std::string text;
        char item[16];
        for (const PortAccess &a : accesses()) {
            std::snprintf(item, sizeof item, "%c%u=%02X ", a.out ? '>' : '<', (unsigned)a.port,
                          a.value);
            text += item;
        }
        if (!text.empty())
            text.pop_back();
        return text;
    }
};

// --- Bus layer ---

TEST_F(DriverTest, PortInitLeavesLinesIdleWithCommandSelected)
{
    lcdPortInit();
    EXPECT_EQ(simPortEmulator.controlRegister, 0xC4);
    EXPECT_EQ(accessText(), "<890=CC >890=CC <890=CC >890=C4 <890=C4 >890=C4 <890=C4 >890=C4");
    EXPECT_TRUE(simPortEmulator.transfers.empty());
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(DriverTest, DataByteIsOneDataWriteAndFiveReadModifyWritesOfTheControlRegister)
{
    emulatorReset(&simPortEmulator, PORT_888, 0xD4);
    lcdWriteData(0x2C);
    EXPECT_EQ(accessText(), "<890=D4 >890=D0 "  // data selected
                            "<890=D0 >890=D2 "  // chip enable
                            ">888=2C "
                            "<890=D2 >890=D3 "  // write strobe
                            "<890=D3 >890=D2 "  // ... released: the byte is latched
                            "<890=D2 >890=D0"); // chip enable released
    EXPECT_EQ(transfers(), "D 2C");
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(DriverTest, CommandByteIsOneDataWriteAndSixReadModifyWritesOfTheControlRegister)
{
    emulatorReset(&simPortEmulator, PORT_888, 0xD0);
    lcdWriteCommand(0x9C);
    EXPECT_EQ(accessText(), ">888=9C "
                            "<890=D0 >890=D4 "  // command selected
                            "<890=D4 >890=D4 "  // read strobe cleared
                            "<890=D4 >890=D6 "  // chip enable
                            "<890=D6 >890=D7 "
                            "<890=D7 >890=D6 "
                            "<890=D6 >890=D4");
    EXPECT_EQ(transfers(), "C 9C");
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(DriverTest, ControlBitsFourToSevenSurviveEveryStep)
{
    for (uint8_t high : {0x00, 0x50, 0x90, 0xF0}) {
        SCOPED_TRACE(high);
        emulatorReset(&simPortEmulator, PORT_888, (uint8_t)(high | 0x0C));
        lcdPortInit();
        lcdWriteData(0x12);
        lcdWriteCommand(0xC0);
        int controlWrites = 0;
        for (const PortAccess &a : accesses()) {
            if (a.port == CONTROL_890) {
                EXPECT_EQ(a.value & 0xF0, high);
                controlWrites += a.out;
            }
        }
        EXPECT_EQ(controlWrites, 4 + 5 + 6);
    }
}

TEST_F(DriverTest, OnlyTheLowEightBitsReachTheDataRegister)
{
    lcdPortInit();
    lcdWriteData(0x1FF);
    EXPECT_EQ(simPortEmulator.dataRegister, 0xFF);
    lcdWriteCommand(-0x70);           // 0x...90
    EXPECT_EQ(transfers(), "D FF C 90");
}

TEST_F(DriverTest, NewPortSettingRedirectsTrafficAtOnce)
{
    emulatorReset(&simPortEmulator, 0x278, 0xCC);
    lcdPortInit();
    lcdWriteData(0x01);
    EXPECT_TRUE(simPortEmulator.transfers.empty());
    EXPECT_EQ(simPortEmulator.accesses.back().port, CONTROL_890);

    settings.lptPort = LPT_PORT_278;
    lcdPortInit();
    lcdWriteData(0x02);
    EXPECT_EQ(transfers(), "D 02");
    EXPECT_EQ(simPortEmulator.accesses.back().port, 0x27A);
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

// --- Controller layer ---

TEST_F(DriverTest, InitSendsTheSetUpSequenceInOrder)
{
    lcdPortInit();
    lcdInit();
    EXPECT_EQ(transfers(), "D 00 D 00 C 40 "
                           "D 28 D 00 C 41 "
                           "D 00 D 02 C 42 "
                           "D 28 D 00 C 43 "
                           "C 80 "
                           "C A7 "
                           "D 00 D 00 C 21 "
                           "C 9C");
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(DriverTest, GotoSetsTheAddressOfTheTextCell)
{
    startUp();
    lcdGotoXY(4, 1);
    EXPECT_EQ(transfers(), "D 2C D 00 C 24");
    simPortEmulator.transfers.clear();
    lcdGotoXY(20, 5);
    EXPECT_EQ(transfers(), "D DC D 00 C 24");
    EXPECT_EQ(simPortEmulator.lcd.addressPointer, 220);
}

TEST_F(DriverTest, PrintSendsOneCodeAndOneWriteCommandPerByte)
{
    startUp();
    lcdPrint("Ab");
    EXPECT_EQ(transfers(), "D 21 C C0 D 42 C C0");
    simPortEmulator.transfers.clear();
    lcdPrint("\xE9\x1F");
    EXPECT_EQ(transfers(), "D 00 C C0 D 00 C C0");

    simPortEmulator.accesses.clear();
    simPortEmulator.transfers.clear();
    lcdPrint("");
    EXPECT_TRUE(simPortEmulator.accesses.empty());
    EXPECT_TRUE(simPortEmulator.transfers.empty());
}

TEST_F(DriverTest, LongTextRunsOnIntoTheNextRow)
{
    startUp();
    lcdGotoXY(4, 1);
    std::string text;
    for (int i = 0; i < 50; i++)
        text += (char)('A' + i % 26);
    lcdPrint(text.c_str());
    std::string shown = textAreaAsText(simPortEmulator.lcd);
    EXPECT_EQ(shown.substr(41, 41), "    " + text.substr(0, 36) + "\n");
    EXPECT_EQ(shown.substr(82, 41), text.substr(36) + std::string(26, ' ') + "\n");
    EXPECT_EQ(shown.substr(0, 41), std::string(40, ' ') + "\n");
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(DriverTest, ClearsBlankExactlyTheirAreas)
{
    std::memset(simPortEmulator.lcd.ram, 0xA5, sizeof simPortEmulator.lcd.ram);
    lcdPortInit();
    lcdInit();
    lcdClearText();
    const uint8_t *ram = simPortEmulator.lcd.ram;
    for (int a = TEXT_HOME; a < TEXT_HOME + TEXT_AREA_BYTES; a++)
        ASSERT_EQ(ram[a], 0) << a;
    EXPECT_EQ(ram[TEXT_AREA_BYTES], 0xA5);
    EXPECT_EQ(ram[GRAPHIC_HOME], 0xA5);

    lcdClearGraphics();
    for (int a = GRAPHIC_HOME; a < GRAPHIC_END; a++)
        ASSERT_EQ(ram[a], 0) << a;
    EXPECT_EQ(ram[GRAPHIC_HOME - 1], 0xA5);
    EXPECT_EQ(ram[GRAPHIC_END], 0xA5);

    PanelImage image;
    renderPanel(simPortEmulator.lcd, &image);
    for (auto &row : image.pixel)
        for (uint8_t p : row)
            ASSERT_EQ(p, 0);
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

TEST_F(DriverTest, PrintedTextAppearsOnThePanelInItsCells)
{
    startUp();
    lcdGotoXY(4, 1);
    lcdPrint("Hi!");
    lcdGotoXY(39, 7);
    lcdPrint("z");

    PanelImage image;
    renderPanel(simPortEmulator.lcd, &image);
    struct Cell {
        int column, row;
        char c;
    };
    int expectedLit = 0;
    for (Cell cell : {Cell{4, 1, 'H'}, Cell{5, 1, 'i'}, Cell{6, 1, '!'}, Cell{39, 7, 'z'}}) {
        for (int y = 0; y < 8; y++) {
            uint8_t glyph = characterRomRow((uint8_t)(cell.c - 0x20), y);
            for (int x = 0; x < 6; x++) {
                bool lit = (glyph >> (5 - x)) & 1;
                expectedLit += lit;
                ASSERT_EQ(image.pixel[cell.row * 8 + y][cell.column * 6 + x], lit)
                    << cell.c << " row " << y << " column " << x;
            }
        }
    }
    int lit = 0;
    for (auto &row : image.pixel)
        for (uint8_t p : row)
            lit += p;
    EXPECT_EQ(lit, expectedLit);
    EXPECT_TRUE(simPortEmulator.faults.empty());
}

// --- Other panel sizes ---
//
// The set-up, the clears and the text cells follow the panel geometry; the
// register words and addresses below are worked out by hand.

struct PanelDriverTest : DriverTest {
    void TearDown() override { panelGeometryReset(); }

    static void usePanel(int width, int height, int cellWidth)
    {
        char why[PANEL_REASON_SIZE] = "";
        ASSERT_TRUE(panelGeometryMake(width, height, cellWidth, &panelGeometry, why, sizeof why)) << why;
    }
};

TEST_F(PanelDriverTest, InitClearsAndCellsFollowThePanel)
{
    struct Case {
        int width, height, cellWidth;
        const char *init;
        int textArea, graphicHome, graphicArea; // the controller's registers after the set-up
        int textBytes, graphicBytes;            // what the clears blank
        int cell45;                             // the address of text cell (4, 5)
    } cases[] = {
        {240, 128, 6,
         "D 00 D 00 C 40 D 28 D 00 C 41 D 00 D 04 C 42 D 28 D 00 C 43 C 80 C A7 D 00 D 00 C 21 C 9C",
         40, 0x0400, 40, 640, 5120, 204},
        {128, 64, 8,
         "D 00 D 00 C 40 D 10 D 00 C 41 D 00 D 02 C 42 D 10 D 00 C 43 C 80 C A7 D 00 D 00 C 21 C 9C",
         16, 0x0200, 16, 128, 1024, 84},
        {160, 128, 8,
         "D 00 D 00 C 40 D 14 D 00 C 41 D 00 D 02 C 42 D 14 D 00 C 43 C 80 C A7 D 00 D 00 C 21 C 9C",
         20, 0x0200, 20, 320, 2560, 104},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "/" + std::to_string(c.cellWidth));
        usePanel(c.width, c.height, c.cellWidth);
        emulatorReset(&simPortEmulator, PORT_888, 0xCC);
        std::memset(simPortEmulator.lcd.ram, 0xA5, sizeof simPortEmulator.lcd.ram);
        lcdPortInit();
        lcdInit();
        EXPECT_EQ(transfers(), c.init);
        EXPECT_EQ(simPortEmulator.lcd.textHome, 0);
        EXPECT_EQ(simPortEmulator.lcd.textArea, c.textArea);
        EXPECT_EQ(simPortEmulator.lcd.graphicHome, c.graphicHome);
        EXPECT_EQ(simPortEmulator.lcd.graphicArea, c.graphicArea);

        lcdClearText();
        lcdClearGraphics();
        const uint8_t *ram = simPortEmulator.lcd.ram;
        int graphicEnd = c.graphicHome + c.graphicBytes;
        for (int a = 0; a < 0x2000; a++) {
            bool cleared = a < c.textBytes || (a >= c.graphicHome && a < graphicEnd);
            ASSERT_EQ(ram[a], cleared ? 0x00 : 0xA5) << "address " << a;
        }

        simPortEmulator.transfers.clear();
        lcdGotoXY(4, 5);
        EXPECT_EQ(simPortEmulator.lcd.addressPointer, c.cell45);
        lcdPrint("Hi");
        EXPECT_EQ(ram[c.cell45], 'H' - 0x20);
        EXPECT_EQ(ram[c.cell45 + 1], 'i' - 0x20);
        EXPECT_TRUE(simPortEmulator.faults.empty());
    }
}

} // namespace
