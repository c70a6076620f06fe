// What the module shows: the text layer through the character generator,
// the graphics layer, their combination per the mode, and the cursor.
#include "panel.h"

#include <cstring>

#include "font.h"

enum {
    RAM_MASK = 0x1FFF,
    ROM_CELL_WIDTH = 6, // the ROM's glyphs: 5 x 7 in the low six bits, bit 5 leftmost
    CG_RAM_OFFSET_SHIFT = 11,
    CG_RAM_CODE_SHIFT = 3,
    FIRST_CG_RAM_CODE = 0x80,
};

// Mode (0x8X) low nibble.
enum {
    MODE_EXTERNAL_CG = 0x08,
    MODE_COMBINE_MASK = 0x07,
    MODE_OR = 0x00,
    MODE_EXOR = 0x01,
    MODE_AND = 0x03,
    MODE_TEXT_ATTRIBUTE = 0x04,
};

// Display mode (0x9X) low nibble.
enum {
    DISPLAY_GRAPHICS = 0x08,
    DISPLAY_TEXT = 0x04,
    DISPLAY_CURSOR = 0x02,
    DISPLAY_CURSOR_BLINK = 0x01,
};

// Attribute byte, low nibble: bit 3 blink, bits 2-0 the look.
enum {
    ATTRIBUTE_BLINK = 0x08,
    ATTRIBUTE_LOOK_MASK = 0x07,
    ATTRIBUTE_REVERSE = 0x05,
    ATTRIBUTE_INHIBIT = 0x03,
};

static uint8_t ramByte(const T6963c &lcd, unsigned address)
{
    return lcd.ram[address & RAM_MASK];
}

bool moduleGlassFits(const ModuleGlass &glass)
{
    bool cellOk = glass.cellWidth == 6 || glass.cellWidth == 8;
    bool widthOk = cellOk && glass.width >= glass.cellWidth && glass.width <= SIM_MAX_PANEL_WIDTH &&
                   glass.width % glass.cellWidth == 0;
    bool heightOk = glass.height >= SIM_CELL_HEIGHT && glass.height <= SIM_MAX_PANEL_HEIGHT &&
                    glass.height % SIM_CELL_HEIGHT == 0;
    return widthOk && heightOk;
}

// The glass as wired; one that does not fit (a controller never set up
// through emulatorReset) shows as the default module.
static ModuleGlass shownGlass(const T6963c &lcd)
{
    if (moduleGlassFits(lcd.glass))
        return lcd.glass;
    return ModuleGlass{SIM_PANEL_WIDTH, SIM_PANEL_HEIGHT, SIM_FONT_SELECT};
}

static int cellWidthOf(const T6963c &lcd)
{
    return shownGlass(lcd).cellWidth;
}

int visibleColumns(const T6963c &lcd)
{
    ModuleGlass glass = shownGlass(lcd);
    return glass.width / glass.cellWidth;
}

int visibleTextRows(const T6963c &lcd)
{
    return shownGlass(lcd).height / SIM_CELL_HEIGHT;
}

int visiblePixelRows(const T6963c &lcd)
{
    return shownGlass(lcd).height;
}

// The bits of a byte one cell shows: the low 6 or 8.
static uint8_t cellMask(int cellWidth)
{
    return (uint8_t)((1u << cellWidth) - 1);
}

static bool pixelOf(uint8_t cellBits, int column, int cellWidth)
{
    return (cellBits & (1u << (cellWidth - 1 - column))) != 0;
}

// One row of a character cell as the generator delivers it. A ROM glyph
// sits at the left of a cell 8 pixels wide, two blank columns added on
// its right.
static uint8_t glyphRow(const T6963c &lcd, uint8_t code, int row)
{
    bool fromCgRam = (lcd.mode & MODE_EXTERNAL_CG) || code >= FIRST_CG_RAM_CODE;
    if (!fromCgRam)
        return (uint8_t)(characterRomRow(code, row) << (cellWidthOf(lcd) - ROM_CELL_WIDTH));
    unsigned address = ((unsigned)lcd.cgOffset << CG_RAM_OFFSET_SHIFT) |
                       ((unsigned)code << CG_RAM_CODE_SHIFT) | (unsigned)row;
    return ramByte(lcd, address);
}

static unsigned textCellAddress(const T6963c &lcd, int column, int row)
{
    return (unsigned)lcd.textHome + (unsigned)row * lcd.textArea + (unsigned)column;
}

// In text attribute mode the graphic area holds one byte per text cell,
// laid out with the graphic area as row stride.
static uint8_t attributeOf(const T6963c &lcd, int column, int row)
{
    return ramByte(lcd, (unsigned)lcd.graphicHome + (unsigned)row * lcd.graphicArea +
                            (unsigned)column);
}

// One cell's text-layer pixels of pixel row y in cell column `column`.
static uint8_t textByte(const T6963c &lcd, int y, int column, bool blinkPhaseShown)
{
    int row = y / SIM_CELL_HEIGHT;
    uint8_t mask = cellMask(cellWidthOf(lcd));
    uint8_t code = ramByte(lcd, textCellAddress(lcd, column, row));
    uint8_t bits = glyphRow(lcd, code, y % SIM_CELL_HEIGHT) & mask;
    if ((lcd.mode & MODE_COMBINE_MASK) != MODE_TEXT_ATTRIBUTE ||
        !(lcd.displayMode & DISPLAY_GRAPHICS))
        return bits;
    uint8_t attribute = attributeOf(lcd, column, row);
    if ((attribute & ATTRIBUTE_BLINK) && !blinkPhaseShown)
        return 0;
    switch (attribute & ATTRIBUTE_LOOK_MASK) {
    case ATTRIBUTE_REVERSE:
        return (uint8_t)(~bits & mask);
    case ATTRIBUTE_INHIBIT:
        return 0;
    default:
        return bits;
    }
}

static uint8_t graphicByte(const T6963c &lcd, int y, int b)
{
    return ramByte(lcd, (unsigned)lcd.graphicHome + (unsigned)y * lcd.graphicArea + (unsigned)b) &
           cellMask(cellWidthOf(lcd));
}

static uint8_t combinedByte(const T6963c &lcd, int y, int b, bool blinkPhaseShown)
{
    bool textOn = (lcd.displayMode & DISPLAY_TEXT) != 0;
    bool graphicsOn = (lcd.displayMode & DISPLAY_GRAPHICS) != 0;
    uint8_t combine = lcd.mode & MODE_COMBINE_MASK;
    uint8_t text = textOn ? textByte(lcd, y, b, blinkPhaseShown) : 0;
    if (combine == MODE_TEXT_ATTRIBUTE)
        return text; // the graphic area holds attributes, not pixels
    if (!graphicsOn)
        return text;
    uint8_t graphics = graphicByte(lcd, y, b);
    if (!textOn)
        return graphics;
    switch (combine) {
    case MODE_EXOR:
        return text ^ graphics;
    case MODE_AND:
        return text & graphics;
    default:
        return text | graphics;
    }
}

uint8_t displayedByte(const T6963c &lcd, int y, int b)
{
    return combinedByte(lcd, y, b, true);
}

// The cursor covers the bottom cursorLines rows of its cell.
static bool cursorCovers(const T6963c &lcd, int x, int y, bool blinkPhaseShown)
{
    if (!(lcd.displayMode & DISPLAY_CURSOR))
        return false;
    if ((lcd.displayMode & DISPLAY_CURSOR_BLINK) && !blinkPhaseShown)
        return false;
    if (x / cellWidthOf(lcd) != lcd.cursorColumn || y / SIM_CELL_HEIGHT != lcd.cursorRow)
        return false;
    return y % SIM_CELL_HEIGHT >= SIM_CELL_HEIGHT - lcd.cursorLines;
}

void renderPanel(const T6963c &lcd, PanelImage *image, bool blinkPhaseShown)
{
    ModuleGlass glass = shownGlass(lcd);
    int columns = glass.width / glass.cellWidth;
    image->width = glass.width;
    image->height = glass.height;
    std::memset(image->pixel, 0, sizeof image->pixel);
    for (int y = 0; y < glass.height; y++) {
        for (int b = 0; b < columns; b++) {
            uint8_t bits = combinedByte(lcd, y, b, blinkPhaseShown);
            for (int column = 0; column < glass.cellWidth; column++) {
                int x = b * glass.cellWidth + column;
                bool lit = pixelOf(bits, column, glass.cellWidth) || cursorCovers(lcd, x, y, blinkPhaseShown);
                image->pixel[y][x] = lit ? 1 : 0;
            }
        }
    }
}

std::string textAreaAsText(const T6963c &lcd)
{
    const uint8_t LAST_SHOWN_CODE = 0x5E;
    const char ASCII_OFFSET = 0x20;
    std::string text;
    int rows = visibleTextRows(lcd);
    int columns = visibleColumns(lcd);
    for (int row = 0; row < rows; row++) {
        for (int column = 0; column < columns; column++) {
            uint8_t code = ramByte(lcd, textCellAddress(lcd, column, row));
            text += code > LAST_SHOWN_CODE ? '?' : (char)(code + ASCII_OFFSET);
        }
        text += '\n';
    }
    return text;
}
