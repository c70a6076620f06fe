// The status sampler's view of the host player.
//
// The Windows plug-in answers these from the host's main window (its title,
// WM_USER status queries, one WM_COMMAND); native tests answer them from a
// table. Nothing in this folder knows which.
#pragma once

// Status query codes, sent as WM_USER with the code in lParam. These are the
// host's fixed message interface.
enum HostQuery {
    HOST_QUERY_PLAY_STATE = 104,      // 1 playing, 3 paused, other values stopped
    HOST_QUERY_TIME = 105,            // wParam 0: position in ms; 1: track length in s
    HOST_QUERY_PLAYLIST_LENGTH = 124, // number of playlist entries
    HOST_QUERY_PLAYLIST_INDEX = 125,  // zero-based index of the current entry
    HOST_QUERY_TRACK_INFO = 126,      // wParam 0: sample rate; 1: bit rate; 2: channels
};

enum {
    HOST_TIME_POSITION = 0,
    HOST_TIME_LENGTH = 1,
    HOST_INFO_SAMPLE_RATE = 0,
    HOST_INFO_BIT_RATE = 1,
    HOST_INFO_CHANNELS = 2,
};

// Copies the host window's title into buffer, at most size - 1 characters,
// and always zero-terminates it (size must be at least 1).
void hostReadTitle(char *buffer, int size);

// Copies the title of a Unicode host window, as UTF-16, like hostReadTitle.
// Returns false, changing nothing, when the window is not Unicode: its
// title is the single-byte one.
bool hostReadUnicodeTitle(char16_t *buffer, int size);

// A text in the host's ANSI code page as UTF-16, at most size - 1 units,
// always terminated.
void hostWidenText(const char *text, char16_t *buffer, int size);

// Sends status query code with wParam and returns the host's answer as is.
int hostQuery(int code, int wParam);

// Sends the host its play command (WM_COMMAND 40045).
void hostSendPlayCommand();
