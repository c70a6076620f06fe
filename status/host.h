// The status sampler's view of the host player.
//
// The Windows plug-in answers these from the host's main window (its title,
// WM_USER status queries, one WM_COMMAND); native tests answer them from a
// table. Nothing in this folder knows which.
#pragma once

#include <cstddef>
#include <cstdint>

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

// The host's pointer-sized answers, asked for through the same WM_USER
// message. Each answer is the host's own memory or one of its functions,
// valid only until the host's next message is handled: read at once, never
// kept. The readers below are plain code over hostQueryPointer, so the
// player's answers are checked the same way in the plug-in and in the tests.
enum HostPointerQuery {
    HOST_QUERY_PLAYLIST_FILE = 214, // wParam a playlist position: the entry's path, UTF-16, host's memory
    HOST_QUERY_VISUAL_DATA = 800,   // wParam 0: HostVisualDataFunction; 1: HostVisualStartFunction
    HOST_QUERY_VU_LEVEL = 801,      // wParam 0: HostVuLevelFunction
    HOST_QUERY_FILE_TAG = 3026,     // wParam a HostTagRequest *: non-zero when the value was filled
};

enum {
    HOST_VISUAL_DATA_FUNCTION = 0,
    HOST_VISUAL_START_FUNCTION = 1,
    HOST_VU_LEVEL_FUNCTION = 0,
    HOST_VISUAL_START = 1, // what the start function is called with
};

// The host's visual data: 75 spectrum values, low to high frequency, then
// 75 oscilloscope samples, one byte each.
enum {
    SPECTRUM_BANDS = 75,
    OSCILLOSCOPE_SAMPLES = 75,
    VU_CHANNELS = 2, // 0 left, 1 right
    VU_LEVEL_MAX = 255,
    VU_NO_LEVEL = -1,
};

typedef char *(*HostVisualDataFunction)(void);
typedef void (*HostVisualStartFunction)(int start);
typedef int (*HostVuLevelFunction)(int channel);

// The host's tag request, laid out as the host reads it: four pointer-sized
// members, its wide characters UTF-16 units. valueSize counts units, the
// terminator included.
struct HostTagRequest {
    const char16_t *file;
    const char16_t *tagName;
    char16_t *value;
    size_t valueSize;
};

// Sends query code with a pointer-sized wParam and returns the host's
// pointer-sized answer as is.
intptr_t hostQueryPointer(int code, intptr_t wParam);

// Asks the host to start producing its visual data (its start function
// called with 1). False, with nothing called, when the host offers none.
bool hostStartSpectrum();

// The spectrum's bands, 0-255 each. False, with bands zeroed, when the host
// offers no data function or the function gives no data. Asks the host for
// the function on every call: one message, and never a function kept from
// a host that may have dropped it.
bool hostSpectrum(uint8_t bands[SPECTRUM_BANDS]);

// Left and right level, each clamped to 0..VU_LEVEL_MAX (a channel without
// a level reads 0). False, with both 0, when the host offers no level
// function or both channels answer VU_NO_LEVEL.
bool hostVuLevels(int levels[VU_CHANNELS]);

// The path of the playlist entry at position, copied with its terminator.
// Reads at most size units of the host's text: a path not terminated
// within them is refused, never cut. False, with path empty, when refused
// or the host answers 0. size must be at least 1.
bool hostPlaylistFile(int position, char16_t *path, int size);

enum { HOST_TAG_NAME_SIZE = 16 };

// The tag name ("artist", "title", "album") of the file at path, in value:
// the host fills a zeroed buffer of size units. A tag longer than the
// buffer arrives cut by the host and is kept cut; a fill with no terminator
// in the buffer is refused. False, with value empty, when refused or the
// host answers 0. name is ASCII of at most HOST_TAG_NAME_SIZE - 1 letters;
// size must be at least 1.
bool hostFileTag(const char16_t *path, const char *name, char16_t *value, int size);
