// What the player is doing, sampled from the host on every refresh tick.
//
// The host offers no structured track data through this interface: artist
// and song are cut out of its main window title ("3. Artist - Song - Winamp"),
// the numbers come from its status queries. playerStatus is owned here and
// read by the status screen.
#pragma once

#include "title_text.h"

enum {
    TITLE_SIZE = 256,
    ARTIST_SIZE = 256,
    SONG_SIZE = 256,
    TIME_TEXT_SIZE = 20,
    TRACK_TEXT_SIZE = 20,
    RATE_TEXT_SIZE = 32,
    CHANNELS_TEXT_SIZE = 32,
};

// Play states as the host reports them; any other value means stopped.
enum {
    PLAY_STATE_PLAYING = 1,
    PLAY_STATE_PAUSED = 3,
};

// Every text is zero-terminated within its field, whatever the host answers.
struct PlayerStatus {
    char title[TITLE_SIZE];             // working copy of the window title
    char artist[ARTIST_SIZE];
    char song[SONG_SIZE];
    char timeText[TIME_TEXT_SIZE];      // "mm:ss/mm:ss", time then track length
    char trackText[TRACK_TEXT_SIZE];    // "nn/nn", playlist position and length
    char sampleRateText[RATE_TEXT_SIZE];
    char bitRateText[RATE_TEXT_SIZE];
    char channelsText[CHANNELS_TEXT_SIZE]; // "Stereo", "Mono" or empty
    int sampleRate;
    int bitRate;
    int positionMs;     // the raw answers behind the time text
    int lengthSeconds;
    int playState;
};

extern PlayerStatus playerStatus;

// Reads the title and the status queries and fills every member of
// playerStatus. Looks at no flag but settings.timeRemaining.
void samplePlayerStatus();

// The track's title in UTF-16 for the graphic screen: read from a Unicode
// host window and cut as the single-byte one is, or, from an ANSI window,
// playerStatus's artist and song in the host's code page, widened.
struct UnicodeTitle {
    char16_t title[TITLE_SIZE]; // working copy of the window title
    char16_t artist[ARTIST_SIZE];
    char16_t song[SONG_SIZE];
};

extern UnicodeTitle unicodeTitle;

// After samplePlayerStatus: fills unicodeTitle.
void sampleUnicodeTitle();

// The steps of a sample, as plain functions over texts.

// "%02d:%02d/%02d:%02d": minutes and seconds of the elapsed time (or of the
// remaining time when timeRemaining is non-zero), then of the track length.
// Divisions truncate toward zero, so negative values show minus signs.
void statusFormatTime(char *text, int size, int positionMs, int lengthSeconds,
                      int timeRemaining);

// "%02d/%02d": the one-based playlist position and the number of entries.
void statusFormatTrack(char *text, int size, int index, int count);

// Sets text to "Stereo" for 2 channels, "Mono" for 1; any other count
// leaves it as it was.
void statusSetChannels(char *text, int size, int channels);
