// The four settings in "plugin.ini" beside the module, section "Pixelvane".
// Read once at start-up, written once at shut-down.
#pragma once

#include "panel_geometry.h"

enum { SETTINGS_PATH_SIZE = 260, LAYOUT_NAME_SIZE = 128 };

// Read at start-up with the four settings, never written: the module's
// size ("Panel Size", "Font Select": loadSettings sets panelGeometry) and
// the graphic screen's layout file ("Layout File", a name in the plug-in
// folder; empty for the built-in layout).
struct PanelKeys {
    char layoutFile[LAYOUT_NAME_SIZE];
    char sizeRefused[PANEL_REASON_SIZE]; // why the size asked for was not taken; empty when it was
};

extern PanelKeys panelKeys;

// Fills a 260-byte buffer with the module's folder and "plugin.ini".
// Returns false, leaving an empty text, when they do not fit: then no file
// is read or written, rather than a wrong one.
bool settingsPath(char *buffer);

void loadSettings();
void saveSettings();
