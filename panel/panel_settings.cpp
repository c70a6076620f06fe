#include "panel_settings.h"

#include "panel_layout.h"

#include <windows.h>

static const wchar_t SECTION[] = L"Virtual panel";
static const wchar_t KEY_SCALE[] = L"Scale";
static const wchar_t KEY_PACE[] = L"Pace";
static const wchar_t KEY_LEFT[] = L"Left";
static const wchar_t KEY_TOP[] = L"Top";
// A window further out than this is on no screen anyone has.
enum { FARTHEST_POSITION = 32000, NO_VALUE = -2147483647 - 1 };

static int readNumber(const std::wstring &path, const wchar_t *key, int missing)
{
    wchar_t text[32];
    GetPrivateProfileStringW(SECTION, key, L"", text, 32, path.c_str());
    wchar_t *end = nullptr;
    long value = wcstol(text, &end, 10);
    if (text[0] == L'\0' || end == nullptr || *end != L'\0')
        return missing;
    return (int)value;
}

void panelSettingsLoad(const std::wstring &path, PanelSettings *settings)
{
    settings->scale = PANEL_DEFAULT_SCALE;
    settings->paceUs = 0;
    settings->havePosition = false;
    settings->left = settings->top = 0;
    if (path.empty())
        return;
    settings->scale = panelValidScale(readNumber(path, KEY_SCALE, PANEL_DEFAULT_SCALE));
    settings->paceUs = panelValidPace(readNumber(path, KEY_PACE, 0));
    int left = readNumber(path, KEY_LEFT, NO_VALUE);
    int top = readNumber(path, KEY_TOP, NO_VALUE);
    if (left > -FARTHEST_POSITION && left < FARTHEST_POSITION && top > -FARTHEST_POSITION &&
        top < FARTHEST_POSITION) {
        settings->havePosition = true;
        settings->left = left;
        settings->top = top;
    }
}

static void writeNumber(const std::wstring &path, const wchar_t *key, int value)
{
    WritePrivateProfileStringW(SECTION, key, std::to_wstring(value).c_str(), path.c_str());
}

void panelSettingsSave(const std::wstring &path, const PanelSettings &settings)
{
    if (path.empty())
        return;
    writeNumber(path, KEY_SCALE, settings.scale);
    writeNumber(path, KEY_PACE, settings.paceUs);
    if (settings.havePosition) {
        writeNumber(path, KEY_LEFT, settings.left);
        writeNumber(path, KEY_TOP, settings.top);
    }
}
