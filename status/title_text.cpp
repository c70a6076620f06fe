#include "title_text.h"

#include <type_traits>

namespace {

// The host's name and suffix are plain ASCII; the same texts serve both
// character types.
const char HOST_NAME[] = "Winamp";
const int HOST_NAME_LENGTH = 6;
// The host ends its window title with its name, usually after " - ", and
// may put a status note such as " [Paused]" behind it.
const char HOST_SUFFIX[] = "- Winamp";
const int HOST_SUFFIX_LENGTH = 8;
const char TRACK_NUMBER_SEPARATOR = '.';
const char ARTIST_SEPARATOR[] = " - ";
const int ARTIST_SEPARATOR_LENGTH = 3;

template <typename Char> int length(const Char *text)
{
    int n = 0;
    while (text[n] != 0)
        n++;
    return n;
}

// Copies as much of `count` characters of text as the field's size allows,
// always terminated.
template <typename Char> void copyBounded(Char *field, int size, const Char *text, int count)
{
    if (count > size - 1)
        count = size - 1;
    for (int i = 0; i < count; i++)
        field[i] = text[i];
    field[count < 0 ? 0 : count] = 0;
}

// ASCII-only case folding: characters outside ASCII (bytes of the code
// page from 0x80 up, or any UTF-16 unit) compare as they stand.
template <typename Char> unsigned foldCase(Char c)
{
    unsigned u = (unsigned)(typename std::make_unsigned<Char>::type)c;
    return (u >= 'A' && u <= 'Z') ? u - 'A' + 'a' : u;
}

// The first `count` characters of text against pattern (ASCII); a shorter
// text differs at its end.
template <typename Char> bool matches(const Char *text, const char *pattern, int count, bool ignoreCase)
{
    for (int i = 0; i < count; i++) {
        unsigned a = ignoreCase ? foldCase(text[i]) : (unsigned)(typename std::make_unsigned<Char>::type)text[i];
        unsigned b = ignoreCase ? foldCase(pattern[i]) : (unsigned char)pattern[i];
        if (a != b)
            return false;
        if (text[i] == 0)
            return true;
    }
    return true;
}

// The last start position of pattern in text, searching from the end; -1
// when it is not there.
template <typename Char> int findLast(const Char *text, const char *pattern, int patternLength, bool ignoreCase)
{
    for (int p = length(text) - patternLength; p >= 0; p--)
        if (matches(text + p, pattern, patternLength, ignoreCase))
            return p;
    return -1;
}

// The end of the text before position p once the spaces before p are dropped.
template <typename Char> int endBeforeSpaces(const Char *text, int p)
{
    while (p > 0 && text[p - 1] == ' ')
        p--;
    return p;
}

template <typename Char> int titleIsHostName(const Char *title)
{
    return matches(title, HOST_NAME, HOST_NAME_LENGTH, true);
}

template <typename Char> void cutHostSuffix(Char *title)
{
    int p = findLast(title, HOST_SUFFIX, HOST_SUFFIX_LENGTH, true);
    title[p < 0 ? 0 : endBeforeSpaces(title, p)] = 0;
}

template <typename Char> void stripPlaylistNumber(Char *title)
{
    int separator = 0;
    while (title[separator] != 0 && title[separator] != TRACK_NUMBER_SEPARATOR)
        separator++;
    if (title[separator] == 0)
        return;
    // Skip the separator and the space after it, but never past the end.
    int start = separator + 1;
    if (title[start] != 0)
        start++;
    int i = 0;
    do
        title[i] = title[start + i];
    while (title[i++] != 0);
}

template <typename Char>
void splitTrackTitle(const Char *trackTitle, Char *artist, int artistSize, Char *song, int songSize)
{
    int total = length(trackTitle);
    int p = findLast(trackTitle, ARTIST_SEPARATOR, ARTIST_SEPARATOR_LENGTH, false);
    if (p < 0) {
        copyBounded(artist, artistSize, trackTitle, 0);
        copyBounded(song, songSize, trackTitle, total);
        return;
    }
    int artistLength = endBeforeSpaces(trackTitle, p);
    copyBounded(artist, artistSize, trackTitle, artistLength);
    // What follows the artist and the three characters after it: exactly
    // the text after the separator when the artist ends right before it.
    int songStart = artistLength + ARTIST_SEPARATOR_LENGTH;
    copyBounded(song, songSize, trackTitle + songStart, total - songStart);
}

template <typename Char> void cutTitle(Char *title, Char *artist, int artistSize, Char *song, int songSize)
{
    cutHostSuffix(title);
    stripPlaylistNumber(title);
    splitTrackTitle(title, artist, artistSize, song, songSize);
}

} // namespace

int statusTitleIsHostName(const char *title) { return titleIsHostName(title); }
int statusTitleIsHostName(const char16_t *title) { return titleIsHostName(title); }
void statusCutHostSuffix(char *title) { cutHostSuffix(title); }
void statusCutHostSuffix(char16_t *title) { cutHostSuffix(title); }
void statusStripPlaylistNumber(char *title) { stripPlaylistNumber(title); }
void statusStripPlaylistNumber(char16_t *title) { stripPlaylistNumber(title); }

void statusSplitTrackTitle(const char *trackTitle, char *artist, int artistSize, char *song, int songSize)
{
    splitTrackTitle(trackTitle, artist, artistSize, song, songSize);
}

void statusSplitTrackTitle(const char16_t *trackTitle, char16_t *artist, int artistSize, char16_t *song,
                           int songSize)
{
    splitTrackTitle(trackTitle, artist, artistSize, song, songSize);
}

void statusCutTitle(char *title, char *artist, int artistSize, char *song, int songSize)
{
    cutTitle(title, artist, artistSize, song, songSize);
}

void statusCutTitle(char16_t *title, char16_t *artist, int artistSize, char16_t *song, int songSize)
{
    cutTitle(title, artist, artistSize, song, songSize);
}
