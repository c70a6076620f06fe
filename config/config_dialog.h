// The settings dialog (resource 101) and the about screen it puts on the LCD.
#pragma once

#include <windows.h>

INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void showAboutScreen();
// When the dialog is open: brings it to the front and returns true.
bool configDialogBringToFront();
