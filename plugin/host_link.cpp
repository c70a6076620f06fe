// The status sampler's view of the host: its main window's title, its
// answers to WM_USER queries (as int and pointer-sized), and its play command.
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

bool hostReadUnicodeTitle(char16_t *buffer, int size)
{
    if (!IsWindowUnicode(pluginRecord.parentWindow))
        return false;
    // WCHAR is a UTF-16 unit, as char16_t is.
    WCHAR *wide = reinterpret_cast<WCHAR *>(buffer);
    wide[0] = 0;
    GetWindowTextW(pluginRecord.parentWindow, wide, size);
    wide[size - 1] = 0;
    return true;
}

void hostWidenText(const char *text, char16_t *buffer, int size)
{
    // A single-byte or double-byte code page never needs more UTF-16 units
    // than the text has bytes, so a buffer the size of the text's field
    // always holds it.
    WCHAR *wide = reinterpret_cast<WCHAR *>(buffer);
    int written = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, size);
    wide[written > 0 ? written - 1 : 0] = 0;
}

int hostQuery(int code, int wParam)
{
    return (int)SendMessageA(pluginRecord.parentWindow, WM_USER, (WPARAM)wParam, (LPARAM)code);
}

// The answer is an LRESULT, as wide as a pointer: the host's functions and
// texts come back whole on 32-bit and 64-bit Windows alike.
intptr_t hostQueryPointer(int code, intptr_t wParam)
{
    return (intptr_t)SendMessageA(pluginRecord.parentWindow, WM_USER, (WPARAM)wParam, (LPARAM)code);
}

// The host's wide characters are WCHAR, the tag request's and the path's
// units char16_t: the same 16-bit units, so the host reads HostTagRequest
// as its own.
static_assert(sizeof(WCHAR) == sizeof(char16_t), "UTF-16 units");
static_assert(sizeof(HostTagRequest) == 4 * sizeof(void *), "four pointer-sized members");

void hostSendPlayCommand()
{
    SendMessageA(pluginRecord.parentWindow, WM_COMMAND, HOST_PLAY_COMMAND, 0);
}
