// The virtual panel's steps, in two files: the panel as the port driver and
// its life (panel_steps.cpp, which owns the loaded DLL and its window), and
// the window seen from outside (panel_window_steps.cpp).
#pragma once

#include "scenario.h"

#include <windows.h>

enum { PANEL_WINDOW_PATIENCE_MS = 5000 };

// The panel's window; fails the step when there is none.
HWND requirePanelWindow(const Step &step);
// The loaded pixelvane-panel.dll; fails the step when there is none.
HMODULE panelDll(const Step &step);

void paintPanel(const Step &step);
void closePanel(const Step &step);
void menuCommand(const Step &step);
void pressPanelKey(const Step &step);
void checkClipboard(const Step &step);
void savePanel(const Step &step);
void panelNotice(const Step &step);
