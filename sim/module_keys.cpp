#include "module_keys.h"

#include "module_folder.h"
#include "panel_geometry.h"

#include <windows.h>

#include <cstdio>

static const wchar_t SECTION[] = L"Pixelvane";
static const wchar_t KEY_PANEL_SIZE[] = L"Panel Size";
static const wchar_t KEY_FONT_SELECT[] = L"Font Select";
static const wchar_t FILE_NAME[] = L"plugin.ini";

// Values longer than any good one; a longer value reaches the parser cut
// short, still too long for it.
enum { KEY_VALUE_CHARACTERS = 32 };

// A key's value as the parser takes it: ASCII kept, anything else '?'.
static void readKey(const std::wstring &iniPath, const wchar_t *key, char *value)
{
    wchar_t wide[KEY_VALUE_CHARACTERS];
    GetPrivateProfileStringW(SECTION, key, L"", wide, KEY_VALUE_CHARACTERS, iniPath.c_str());
    int i = 0;
    for (; i < KEY_VALUE_CHARACTERS - 1 && wide[i] != L'\0'; i++)
        value[i] = wide[i] < 0x80 ? (char)wide[i] : '?';
    value[i] = '\0';
}

bool moduleGlassFromIni(const std::wstring &iniPath, ModuleGlass *glass, char *why, int whySize)
{
    char size[KEY_VALUE_CHARACTERS] = "";
    char fontSelect[KEY_VALUE_CHARACTERS] = "";
    if (why != nullptr && whySize > 0)
        why[0] = '\0';
    if (!iniPath.empty()) {
        readKey(iniPath, KEY_PANEL_SIZE, size);
        readKey(iniPath, KEY_FONT_SELECT, fontSelect);
    }
    PanelGeometry geometry;
    bool accepted = panelGeometryFromKeys(size, fontSelect, &geometry, why, whySize);
    *glass = ModuleGlass{geometry.width, geometry.height, geometry.cellWidth};
    return accepted;
}

std::wstring pluginIniBeside()
{
    return moduleFolderFile(thisModule(), FILE_NAME);
}
