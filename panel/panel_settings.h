// The window's settings, in pixelvane-panel.ini beside the DLL:
//
//   [Virtual panel]
//   Scale=3      1 to 6
//   Pace=0       microseconds per port access: 0, 1 or 5
//   Left=...     the window's last position, when it had one
//   Top=...
//
// Read once when the panel starts, written by the window when one of them
// changes. A value out of range counts as missing.
#pragma once

#include <string>

struct PanelSettings {
    int scale;
    int paceUs;
    bool havePosition;
    int left, top;
};

void panelSettingsLoad(const std::wstring &path, PanelSettings *settings);
void panelSettingsSave(const std::wstring &path, const PanelSettings &settings);
