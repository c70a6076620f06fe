// The module's size and the memory map that follows from it, kept in a
// table read at run time: the width and height in pixels and the cell
// width the module's font select pin is wired for (6 or 8 pixels). The
// text area starts at 0x0000, one cell a character on rows of 8 pixels;
// the graphics area follows at the next multiple of 0x0200, one byte a
// cell on every pixel row; both end below the letters' CG RAM (0x1C00).
//
// Without "Panel Size" and "Font Select" in plugin.ini the table holds the
// 240 x 64 module with the 6-pixel font select, whose map is the one in
// t6963c.h, so every byte on the wire is the classic one.
#pragma once

#include "t6963c.h"

struct PanelGeometry {
    int width;  // pixels
    int height; // pixels
    int cellWidth; // 6 or 8
    int columns;   // text cells and graphics bytes in a row: width / cellWidth
    int textRows;  // height / CHARACTER_HEIGHT
    int textHome;
    int textAreaBytes; // columns * textRows
    int graphicHome;
    int graphicAreaBytes; // columns * height
};

enum {
    CHARACTER_HEIGHT = 8,
    PANEL_MIN_WIDTH = 64,
    PANEL_MAX_WIDTH = 256,
    PANEL_MIN_HEIGHT = 32,
    PANEL_MAX_HEIGHT = 128,
    PANEL_MAX_COLUMNS = PANEL_MAX_WIDTH / CELL_WIDTH, // 42, at the 6-pixel font select
    PANEL_MAX_TEXT_AREA_BYTES = PANEL_MAX_COLUMNS * (PANEL_MAX_HEIGHT / CHARACTER_HEIGHT), // 672
    PANEL_MAX_GRAPHIC_AREA_BYTES = PANEL_MAX_COLUMNS * PANEL_MAX_HEIGHT, // 5376
    GRAPHIC_HOME_STEP = 0x0200,
    DISPLAY_MAP_END = 0x1C00, // the glyphs of codes 0x80 up, when the letters are loaded
    PANEL_REASON_SIZE = 96,
};

// The module the plug-in drives, set once at start-up before anything is
// sent (panelGeometryReset puts the default back).
extern PanelGeometry panelGeometry;

PanelGeometry defaultPanelGeometry();
void panelGeometryReset();

// The geometry of a module this size; false, with the reason in `why`, when
// the controller cannot show it (geometry then untouched).
bool panelGeometryMake(int width, int height, int cellWidth, PanelGeometry *geometry, char *why, int whySize);

// The geometry the two keys ask for, as plugin.ini holds them: `size` is
// "WIDTHxHEIGHT" and `fontSelect` "6" or "8", either of them empty when the
// file lacks the key (the default's value). False, with the default in
// `geometry` and the reason in `why`, when they name no module the
// controller can drive.
bool panelGeometryFromKeys(const char *size, const char *fontSelect, PanelGeometry *geometry, char *why,
                           int whySize);

// True when `geometry` is the classic 240 x 64 module.
bool panelGeometryIsDefault(const PanelGeometry &geometry);
