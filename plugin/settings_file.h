// The four settings in "plugin.ini" beside the module, section "Pixelvane".
// Read once at start-up, written once at shut-down.
#pragma once

enum { SETTINGS_PATH_SIZE = 260 };

// Fills a 260-byte buffer with the module's folder and "plugin.ini".
// Returns false, leaving an empty text, when they do not fit: then no file
// is read or written, rather than a wrong one.
bool settingsPath(char *buffer);

void loadSettings();
void saveSettings();
