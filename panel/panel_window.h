// The virtual panel's window, on a thread of its own: it repaints at most
// 60 times a second from copies of the card (panel_card.h), so the
// player's thread never waits for it. Closing it hides it; it comes back
// when the player next loads the panel.
#pragma once

#include "panel_card.h"
#include "panel_settings.h"

#include <windows.h>

#include <string>

// Starts the window's thread and returns at once. The thread holds its own
// reference to this DLL, so a host that frees the DLL cannot unmap the code
// under it; it lets go as it ends (FreeLibraryAndExitThread).
bool panelWindowStart(PanelCard *card, bool mirrored, const std::wstring &settingsPath,
                      const PanelSettings &settings);
// The window, waiting up to waitMs for the thread to make it; null when the
// panel has not started or the window could not be made.
HWND panelWindowHandle(DWORD waitMs);
// WM_PAINT messages handled so far.
long panelWindowPaints();
