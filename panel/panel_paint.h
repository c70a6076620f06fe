// The window's client area: the panel picture in a dark frame, and the
// status line under it. WM_PAINT and WM_PRINTCLIENT both draw through it.
#pragma once

#include "panel_picture.h"

#include <windows.h>

#include <string>

// panelWidth and panelHeight: the module's glass in pixels.
void panelPaint(HDC dc, int clientWidth, int clientHeight, int panelWidth, int panelHeight,
                const PanelPicture &picture, const std::wstring &status);
