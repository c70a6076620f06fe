// What the player is doing, sampled from the host on every refresh tick.
//
// The host offers no structured track data through this interface: artist
// and song are cut out of its main window title ("3. Artist - Song - Winamp"),
// the numbers come from its status queries. playerStatus is owned here and
// read by the status screen.
#pragma once

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
    int playState;
};

extern PlayerStatus playerStatus;

// Reads the title and the status queries and fills every member of
// playerStatus. Looks at no flag but settings.timeRemaining.
void samplePlayerStatus();

// The steps of a sample, as plain functions over texts.

// Non-zero when title begins with "Winamp" (any case): the host shows its
// bare name while nothing has been started.
int statusTitleIsHostName(const char *title);

// Ends title before its last "- Winamp" (any case) and the spaces before
// it; a title without that suffix becomes empty.
void statusCutHostSuffix(char *title);

// Drops the playlist number: the title becomes the text two characters
// after its first "." (the "." and the space after it). A title without a
// "." is left as it is; a "." at the very end leaves an empty title.
void statusStripPlaylistNumber(char *title);

// Splits a track title at its last " - ": artist is what comes before it
// with trailing spaces dropped, song is what follows the artist and the
// three characters after it. Without " - " the artist is empty and the
// song is the whole track title. Both outputs are bounded by their sizes.
void statusSplitTrackTitle(const char *trackTitle, char *artist, int artistSize,
                           char *song, int songSize);

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
