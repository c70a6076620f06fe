// The status sampler's view of the host: its main window's title, its
// answers to WM_USER status queries, and its play command.
#include "host.h"

#include "plugin_record.h"

#include <windows.h>

enum { HOST_PLAY_COMMAND = 40045 };

void hostReadTitle(char *buffer, int size)
{
    buffer[0] = '\0';
    GetWindowTextA(pluginRecord.parentWindow, buffer, size);
    buffer[size - 1] = '\0';
}

int hostQuery(int code, int wParam)
{
    return (int)SendMessageA(pluginRecord.parentWindow, WM_USER, (WPARAM)wParam, (LPARAM)code);
}

void hostSendPlayCommand()
{
    SendMessageA(pluginRecord.parentWindow, WM_COMMAND, HOST_PLAY_COMMAND, 0);
}
