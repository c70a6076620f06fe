#include "panel_menu.h"

#include "panel_control.h"
#include "panel_layout.h"

#include <string>

enum { PACE_MOTHERBOARD_US = 1, PACE_DRIVER_DLL_US = 5 };

static HMENU panelItems()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, PANEL_COMMAND_SAVE, L"&Save as PNG...\tCtrl+S");
    AppendMenuW(menu, MF_STRING, PANEL_COMMAND_COPY, L"&Copy\tCtrl+C");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, PANEL_COMMAND_HIDE, L"&Hide\tAlt+F4");
    return menu;
}

static HMENU scaleItems()
{
    HMENU menu = CreatePopupMenu();
    for (int scale = PANEL_MIN_SCALE; scale <= PANEL_MAX_SCALE; scale++) {
        std::wstring label = L"x" + std::to_wstring(scale) + L"\t" + std::to_wstring(scale);
        AppendMenuW(menu, MF_STRING, PANEL_COMMAND_SCALE + scale, label.c_str());
    }
    return menu;
}

static HMENU paceItems()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, PANEL_COMMAND_PACE, L"&Off: as fast as the emulator goes");
    AppendMenuW(menu, MF_STRING, PANEL_COMMAND_PACE + PACE_MOTHERBOARD_US,
                L"&1 us per access, like a motherboard port");
    AppendMenuW(menu, MF_STRING, PANEL_COMMAND_PACE + PACE_DRIVER_DLL_US,
                L"&5 us per access, like a port-driver DLL");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, PANEL_COMMAND_NEXT_PACE, L"&Next pace\tP");
    return menu;
}

HMENU panelMenuCreate()
{
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)panelItems(), L"&Panel");
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)scaleItems(), L"&Scale");
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)paceItems(), L"P&ace");
    return bar;
}

HACCEL panelKeysCreate()
{
    ACCEL keys[PANEL_MAX_SCALE + 3];
    int count = 0;
    for (int scale = PANEL_MIN_SCALE; scale <= PANEL_MAX_SCALE; scale++)
        keys[count++] = ACCEL{FVIRTKEY, (WORD)('0' + scale), (WORD)(PANEL_COMMAND_SCALE + scale)};
    keys[count++] = ACCEL{FVIRTKEY, 'P', PANEL_COMMAND_NEXT_PACE};
    keys[count++] = ACCEL{FVIRTKEY | FCONTROL, 'S', PANEL_COMMAND_SAVE};
    keys[count++] = ACCEL{FVIRTKEY | FCONTROL, 'C', PANEL_COMMAND_COPY};
    return CreateAcceleratorTableW(keys, count);
}

void panelMenuCheck(HMENU menu, int scale, int paceUs)
{
    CheckMenuRadioItem(menu, PANEL_COMMAND_SCALE + PANEL_MIN_SCALE, PANEL_COMMAND_SCALE + PANEL_MAX_SCALE,
                       PANEL_COMMAND_SCALE + scale, MF_BYCOMMAND);
    CheckMenuRadioItem(menu, PANEL_COMMAND_PACE, PANEL_COMMAND_PACE + PACE_DRIVER_DLL_US,
                       PANEL_COMMAND_PACE + paceUs, MF_BYCOMMAND);
}
