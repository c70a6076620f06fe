// What the host simulator reaches inside pixelvane-panel.dll, beside the
// two port exports: the card's emulator (as the port-driver stand-in hands
// out its own), the window, and the commands and messages the window takes.
#pragma once

#include "emulator_control.h"

#include <windows.h>

// The window's menu commands (WM_COMMAND), the same for menu and keys.
enum PanelCommand {
    PANEL_COMMAND_SAVE = 100,        // Save as PNG... (Ctrl+S)
    PANEL_COMMAND_COPY = 101,        // Copy to the clipboard (Ctrl+C)
    PANEL_COMMAND_HIDE = 102,        // Hide, as closing the window does
    PANEL_COMMAND_SCALE = 110,       // + 1 to 6: scale x1 to x6 (keys 1 to 6)
    PANEL_COMMAND_PACE = 120,        // + 0, 1 or 5: pace off, 1 us, 5 us
    PANEL_COMMAND_NEXT_PACE = 130,   // the next pace (key P)
};

// Private messages to the window.
enum PanelMessage {
    PANEL_MESSAGE_END = WM_APP + 1,    // close for good: the window's thread ends
    PANEL_MESSAGE_SYNC = WM_APP + 2,   // lParam: an event, set when the message is reached
    PANEL_MESSAGE_STATUS = WM_APP + 3, // wParam: size, lParam: wchar_t buffer for the status line
    PANEL_MESSAGE_SAVE = WM_APP + 4,   // lParam: wide path; saves the panel as a PNG, returns 1 when written
};

struct PanelControl {
    const EmulatorControl *sim;
    // The panel's window, once the first port access started it: waits up
    // to waitMs for the window's thread to make it; null without one.
    HWND (*window)(DWORD waitMs);
    // WM_PAINT messages the window has handled.
    long (*paints)();
};

typedef const PanelControl *(*PanelControlFunction)();

#define PANEL_CONTROL_EXPORT "PixelvanePanelControl"
// void __stdcall PanelNotice(const char *text): the plug-in's notice in the
// status line for a few seconds.
#define PANEL_NOTICE_EXPORT "PanelNotice"
