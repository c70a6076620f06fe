// Start-up, configuration and shut-down of the plug-in, and the window
// procedure that turns the host's timer ticks into display refreshes.
#pragma once

#include <windows.h>

int pluginInit();
void pluginConfig();
void pluginQuit();
LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills buffer with the plug-in's own folder followed by name. Returns false,
// leaving an empty text, when the result does not fit.
bool pluginFolderPath(const char *name, char *buffer, int size);

// Fills buffer with the Windows system folder followed by '\\' and name.
// Returns false, leaving an empty text, when the result does not fit.
bool systemFolderPath(const char *name, char *buffer, int size);

// Plays a picture from the plug-in's folder.
void pluginShowPicture(const char *name);

// Display work (a refresh, a picture, the shut-down screen) runs one piece
// at a time. A host may answer a message of ours with a modal loop of its
// own (an open-file dialog for the play command, an error box), which
// delivers the next tick while the work that sent the message is still
// running. displayWorkBegin returns false while other work runs: the
// caller then draws nothing. Otherwise it returns true and the caller ends
// its work with displayWorkEnd.
bool displayWorkBegin();
void displayWorkEnd();

// The file names of the four pictures beside the module.
extern const char INTRO_PICTURE[];
extern const char STATUS_PICTURE[];
extern const char SETTINGS_PICTURE[];
extern const char ABOUT_PICTURE[];
