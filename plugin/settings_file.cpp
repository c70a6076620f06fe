#include "settings_file.h"

#include "module_path.h"
#include "settings.h"

#include <windows.h>

static const char SECTION[] = "Pixelvane";
static const char FILE_NAME[] = "plugin.ini";
static const char KEY_DISABLE_LCD[] = "Disable LCD";
static const char KEY_NO_INTRO[] = "NoIntro";
static const char KEY_TIME_REMAINING[] = "Time Remaining";
static const char KEY_LPT_PORT[] = "LPTx";
// Read only, never written: see OptIns.
static const char KEY_FAST_BUS[] = "Fast Bus";
static const char KEY_FAST_BUS_PACE[] = "Fast Bus Pace";
static const char KEY_LETTERS[] = "Letters";
static const char KEY_GRAPHIC_SCREEN[] = "Graphic Screen";
static const char KEY_SCROLL_SPEED[] = "Scroll Speed";
static const char KEY_IDLE_CLOCK[] = "Idle Clock";
static const char KEY_VISUALIZER[] = "Visualizer";
static const char KEY_PANEL_SIZE[] = "Panel Size";
static const char KEY_FONT_SELECT[] = "Font Select";
static const char KEY_LAYOUT_FILE[] = "Layout File";

PanelKeys panelKeys;

bool settingsPath(char *buffer)
{
    return pluginFolderPath(FILE_NAME, buffer, SETTINGS_PATH_SIZE);
}

static void readValue(const char *key, int *value, const char *path)
{
    *value = (int)GetPrivateProfileIntA(SECTION, key, *value, path);
}

static void readText(const char *key, char *text, int size, const char *path)
{
    GetPrivateProfileStringA(SECTION, key, "", text, size, path);
}

// The module's size: the classic one unless the keys name another the
// controller can drive.
static void readPanelKeys(const char *path)
{
    char size[32], fontSelect[8];
    readText(KEY_PANEL_SIZE, size, sizeof size, path);
    readText(KEY_FONT_SELECT, fontSelect, sizeof fontSelect, path);
    panelGeometryFromKeys(size, fontSelect, &panelGeometry, panelKeys.sizeRefused, sizeof panelKeys.sizeRefused);
    readText(KEY_LAYOUT_FILE, panelKeys.layoutFile, sizeof panelKeys.layoutFile, path);
}

void loadSettings()
{
    // A key the file lacks keeps its built-in default.
    settingsReset();
    panelGeometryReset();
    panelKeys = PanelKeys{};
    char path[SETTINGS_PATH_SIZE];
    if (!settingsPath(path))
        return;
    readValue(KEY_DISABLE_LCD, &settings.disableLcd, path);
    readValue(KEY_NO_INTRO, &settings.noIntro, path);
    readValue(KEY_TIME_REMAINING, &settings.timeRemaining, path);
    // Taken as read, whatever it is: the port access decides whether a
    // parallel port sits there (port_bases.h).
    readValue(KEY_LPT_PORT, &settings.lptPort, path);
    readValue(KEY_FAST_BUS, &optIns.fastBus, path);
    readValue(KEY_FAST_BUS_PACE, &optIns.fastBusPace, path);
    readValue(KEY_LETTERS, &optIns.letters, path);
    readValue(KEY_GRAPHIC_SCREEN, &optIns.graphicScreen, path);
    readValue(KEY_SCROLL_SPEED, &optIns.scrollSpeed, path);
    readValue(KEY_IDLE_CLOCK, &optIns.idleClock, path);
    readValue(KEY_VISUALIZER, &optIns.visualizer, path);
    readPanelKeys(path);
    // The graphic screen sends only what changed: it runs on the fast bus.
    if (optIns.graphicScreen != 0)
        optIns.fastBus = 1;
}

static void writeValue(const char *key, int value, const char *path)
{
    char text[16];
    wsprintfA(text, "%d", value);
    WritePrivateProfileStringA(SECTION, key, text, path);
}

void saveSettings()
{
    char path[SETTINGS_PATH_SIZE];
    if (!settingsPath(path))
        return;
    writeValue(KEY_NO_INTRO, settings.noIntro, path);
    writeValue(KEY_DISABLE_LCD, settings.disableLcd, path);
    writeValue(KEY_TIME_REMAINING, settings.timeRemaining, path);
    writeValue(KEY_LPT_PORT, settings.lptPort, path);
}
