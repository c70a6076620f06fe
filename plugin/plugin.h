// Start-up, configuration and shut-down of the plug-in, and the window
// procedure that turns the host's timer ticks into display refreshes.
#pragma once

#include <windows.h>

int pluginInit();
void pluginConfig();
void pluginQuit();
LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
