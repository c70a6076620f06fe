// Cutting the host's window title down to artist and song, for the
// single-byte title (the host's ANSI code page) and the UTF-16 title of a
// Unicode window alike: one algorithm over either character type.
#pragma once

// Non-zero when title begins with "Winamp" (any case): the host shows its
// bare name while nothing has been started.
int statusTitleIsHostName(const char *title);
int statusTitleIsHostName(const char16_t *title);

// Ends title before its last "- Winamp" (any case) and the spaces before
// it; a title without that suffix becomes empty.
void statusCutHostSuffix(char *title);
void statusCutHostSuffix(char16_t *title);

// Drops the playlist number: the title becomes the text two characters
// after its first "." (the "." and the space after it). A title without a
// "." is left as it is; a "." at the very end leaves an empty title.
void statusStripPlaylistNumber(char *title);
void statusStripPlaylistNumber(char16_t *title);

// Splits a track title at its last " - ": artist is what comes before it
// with trailing spaces dropped, song is what follows the artist and the
// three characters after it. Without " - " the artist is empty and the
// song is the whole track title. Both outputs are bounded by their sizes
// (in characters, the terminator included).
void statusSplitTrackTitle(const char *trackTitle, char *artist, int artistSize, char *song, int songSize);
void statusSplitTrackTitle(const char16_t *trackTitle, char16_t *artist, int artistSize, char16_t *song,
                           int songSize);

// The three steps in their order: suffix, playlist number, artist and song.
void statusCutTitle(char *title, char *artist, int artistSize, char *song, int songSize);
void statusCutTitle(char16_t *title, char16_t *artist, int artistSize, char16_t *song, int songSize);
