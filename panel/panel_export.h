// The panel out of the window: a PNG file, and the clipboard.
#pragma once

#include "emulator.h"

#include <windows.h>

// The panel `scale` times larger in the LCD colours, the same file the
// host simulator's snapshots write. False when it cannot be written.
bool panelSavePng(const PanelImage &image, int scale, const wchar_t *path);
// The same picture as a device-independent bitmap (CF_DIB, 24 bits, rows
// bottom-up) on the clipboard. False when the clipboard cannot be had.
bool panelCopyToClipboard(HWND owner, const PanelImage &image, int scale);
