// T6963C LCD module on a PC parallel-port card, emulated.
//
// The card: data register at base, status register at base+1, control
// register at base+2. The control register is an 8-bit latch read back as
// written. Bits 0, 1 and 3 reach /WR, /CE and /RD through the card's
// inverters (a register bit of 1 asserts the active-low line); bit 2 drives
// C/D directly (1 = command or status). The controller latches the data
// lines on the rising edge of /WR while /CE is low.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum AutoMode { AUTO_OFF, AUTO_WRITING, AUTO_READING };

// The module's glass as it is wired: its size in pixels and the cell width
// its font select pin gives the controller (6 or 8 pixels). A power cycle
// keeps it; emulatorReset puts the 240 x 64 module with the 6-pixel font
// select back.
enum {
    SIM_PANEL_WIDTH = 240, // the default module
    SIM_PANEL_HEIGHT = 64,
    SIM_FONT_SELECT = 6,
    SIM_MAX_PANEL_WIDTH = 256, // the largest glass a picture holds
    SIM_MAX_PANEL_HEIGHT = 128,
};
struct ModuleGlass {
    int width, height; // pixels, whole cells across and 8-pixel rows down
    int cellWidth;     // 6 or 8
};

struct T6963c {
    ModuleGlass glass;
    uint8_t ram[0x2000];          // 8 KiB; addresses alias modulo 0x2000
    uint16_t addressPointer;
    uint8_t cursorColumn, cursorRow;
    uint8_t cgOffset;             // low 5 bits
    uint16_t textHome, textArea;  // text area = bytes per text row
    uint16_t graphicHome, graphicArea;
    uint8_t mode;                 // last 0x8X command, low nibble
    uint8_t displayMode;          // last 0x9X command, low nibble
    uint8_t cursorLines;          // 1..8
    uint8_t parameters[2];        // data bytes shifted in before a command
    int parameterCount;
    AutoMode autoMode;
    bool peekCopyError;           // STA6
    uint8_t readLatch;            // what a data read returns
};

struct Transfer {
    bool command;
    uint8_t value;
};

struct PortAccess {
    bool out;
    uint16_t port;
    uint8_t value;
};

struct Emulator {
    uint16_t base;
    uint8_t dataRegister;
    uint8_t controlRegister;
    T6963c lcd;
    bool logAccesses;                  // ports log on or off (on by default)
    uint64_t accessCount;              // every port access, logged or not
    std::vector<Transfer> transfers;   // every latched byte, in order
    std::vector<PortAccess> accesses;  // every port access, in order
    std::vector<std::string> faults;   // protocol faults, in order
};

// Power-on state: RAM cleared, registers zero, control latch as given,
// the default module's glass.
void emulatorReset(Emulator *emulator, uint16_t base = 0x378, uint8_t control = 0xCC);

// The module behind the card: `width` x `height` pixels with cells
// `cellWidth` wide. False, the glass unchanged, unless the cell width is 6
// or 8, the width whole cells up to SIM_MAX_PANEL_WIDTH and the height whole
// 8-pixel rows up to SIM_MAX_PANEL_HEIGHT.
bool emulatorSetPanel(Emulator *emulator, int width, int height, int cellWidth);

// A byte out to / in from any I/O port; ports outside the card are ignored
// (an in returns 0xFF) but still counted.
void emulatorOut(Emulator *emulator, uint16_t port, uint8_t value);
uint8_t emulatorIn(Emulator *emulator, uint16_t port);

// The controller alone: one latched bus write (command when C/D is high) and
// one bus read (status when C/D is high). Faults go to the emulator's list.
// t6963cReset is the power-on state of the controller; the glass stays.
void t6963cReset(T6963c *lcd);
void t6963cWrite(Emulator *emulator, bool command, uint8_t value);
uint8_t t6963cRead(Emulator *emulator, bool status);

// The panel as a person sees it: 1 = lit pixel, pixel[y][x] for x below
// width and y below height (the glass's size); renderPanel clears the rest
// of the storage.
struct PanelImage {
    int width = SIM_PANEL_WIDTH;
    int height = SIM_PANEL_HEIGHT;
    uint8_t pixel[SIM_MAX_PANEL_HEIGHT][SIM_MAX_PANEL_WIDTH];
};
void renderPanel(const T6963c &lcd, PanelImage *image, bool blinkPhaseShown = true);
// The image's size bounded by its storage (1 to the largest glass): what
// every picture of it is drawn at.
int panelImageWidth(const PanelImage &image);
int panelImageHeight(const PanelImage &image);

// The panel's look in pictures: four colours, and the one each picture dot
// shows when the panel is drawn `scale` times larger (scales above 2 draw
// the seams of the dot grid).
struct PanelColour {
    uint8_t r, g, b;
};
enum PanelShade { SHADE_BACKGROUND, SHADE_BACKGROUND_SEAM, SHADE_PIXEL, SHADE_PIXEL_SEAM, PANEL_SHADES };
extern const PanelColour PANEL_PALETTE[PANEL_SHADES];
PanelShade panelShade(const PanelImage &image, int x, int y, int scale);

// The visible text area as text: code c as the character c + 0x20, codes
// above 0x5E as '?'; one line a text row (8 on the 240 x 64 module), one
// character a cell (40), each line ending in '\n'.
std::string textAreaAsText(const T6963c &lcd);

// Files. Each returns false when the file cannot be written.
bool writePbm(const PanelImage &image, const std::string &path);       // plain P1, the image's size
bool writePng(const PanelImage &image, const std::string &path, int scale = 3); // LCD colours
// The same PNG file's bytes, in memory.
bool encodePng(const PanelImage &image, int scale, std::vector<uint8_t> *png);
// Any picture as a PNG: rgb holds width x height pixels, three bytes each.
bool writeRgbPng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb);
bool writeRam(const T6963c &lcd, const std::string &path);             // 8192 raw bytes
bool writeTransfers(const Emulator &emulator, const std::string &path); // "D 2C" / "C 24"
bool writePortAccesses(const Emulator &emulator, const std::string &path); // "out 0378 2C"
// NAME.txt, NAME.ram and NAME.pbm beside each other; pathStem has no suffix.
bool writeSnapshot(const Emulator &emulator, const std::string &pathStem);
