#include "player_status.h"

#include <cstdio>
#include <cstring>

#include "host.h"
#include "settings.h"

PlayerStatus playerStatus;

static const char HOST_NAME[] = "Winamp";
static const int HOST_NAME_LENGTH = 6;
// The host ends its window title with its name, usually after " - ", and
// may put a status note such as " [Paused]" behind it.
static const char HOST_SUFFIX[] = "- Winamp";
static const int HOST_SUFFIX_LENGTH = 8;
static const char TRACK_NUMBER_SEPARATOR = '.';
static const char ARTIST_SEPARATOR[] = " - ";
static const int ARTIST_SEPARATOR_LENGTH = 3;

static const int MILLISECONDS_PER_SECOND = 1000;
static const int SECONDS_PER_MINUTE = 60;
// Room for any time or playlist text the host's answers can produce; the
// result is then cut to its field.
static const int WIDE_TEXT_SIZE = 64;

// Copies as much of text as field's size allows, always terminated.
static void copyBounded(char *field, int size, const char *text)
{
    size_t length = strlen(text);
    if (length > (size_t)(size - 1))
        length = (size_t)(size - 1);
    memcpy(field, text, length);
    field[length] = '\0';
}

// ASCII-only case folding: the host's name and suffix are plain ASCII, and
// bytes of the ANSI code page above 0x7F must compare as they stand.
static char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// Compares the first length characters; a shorter text differs at its end.
static int equalIgnoringCase(const char *a, const char *b, int length)
{
    for (int i = 0; i < length; i++) {
        if (foldCase(a[i]) != foldCase(b[i]))
            return 0;
        if (a[i] == '\0')
            return 1;
    }
    return 1;
}

// The last start position of pattern in text, searching from the end; -1
// when it is not there.
static int findLast(const char *text, const char *pattern, int patternLength, int ignoreCase)
{
    int length = (int)strlen(text);
    for (int p = length - patternLength; p >= 0; p--) {
        int found = ignoreCase ? equalIgnoringCase(text + p, pattern, patternLength)
                               : strncmp(text + p, pattern, patternLength) == 0;
        if (found)
            return p;
    }
    return -1;
}

// The end of the text before position p once the spaces before p are dropped.
static int endBeforeSpaces(const char *text, int p)
{
    while (p > 0 && text[p - 1] == ' ')
        p--;
    return p;
}

int statusTitleIsHostName(const char *title)
{
    return equalIgnoringCase(title, HOST_NAME, HOST_NAME_LENGTH);
}

void statusCutHostSuffix(char *title)
{
    int p = findLast(title, HOST_SUFFIX, HOST_SUFFIX_LENGTH, 1);
    title[p < 0 ? 0 : endBeforeSpaces(title, p)] = '\0';
}

void statusStripPlaylistNumber(char *title)
{
    char *separator = strchr(title, TRACK_NUMBER_SEPARATOR);
    if (separator == NULL)
        return;
    // Skip the separator and the space after it, but never past the end.
    char *start = separator + 1;
    if (*start != '\0')
        start++;
    memmove(title, start, strlen(start) + 1);
}

void statusSplitTrackTitle(const char *trackTitle, char *artist, int artistSize,
                           char *song, int songSize)
{
    int p = findLast(trackTitle, ARTIST_SEPARATOR, ARTIST_SEPARATOR_LENGTH, 0);
    if (p < 0) {
        copyBounded(artist, artistSize, "");
        copyBounded(song, songSize, trackTitle);
        return;
    }
    int artistLength = endBeforeSpaces(trackTitle, p);
    snprintf(artist, artistSize, "%.*s", artistLength, trackTitle);
    // What follows the artist and the three characters after it: exactly
    // the text after the separator when the artist ends right before it.
    copyBounded(song, songSize, trackTitle + artistLength + ARTIST_SEPARATOR_LENGTH);
}

void statusFormatTime(char *text, int size, int positionMs, int lengthSeconds, int timeRemaining)
{
    // 64-bit, so that no answer of the host can overflow; every quotient
    // and remainder below then fits an int again.
    long long elapsed = (long long)positionMs / MILLISECONDS_PER_SECOND;
    long long length = lengthSeconds;
    long long remaining = length - elapsed;
    long long t = timeRemaining ? remaining : elapsed;
    char full[WIDE_TEXT_SIZE];
    snprintf(full, sizeof full, "%02d:%02d/%02d:%02d",
             (int)(t / SECONDS_PER_MINUTE), (int)(t % SECONDS_PER_MINUTE),
             (int)(length / SECONDS_PER_MINUTE), (int)(length % SECONDS_PER_MINUTE));
    copyBounded(text, size, full);
}

void statusFormatTrack(char *text, int size, int index, int count)
{
    char full[WIDE_TEXT_SIZE];
    snprintf(full, sizeof full, "%02lld/%02d", (long long)index + 1, count);
    copyBounded(text, size, full);
}

void statusSetChannels(char *text, int size, int channels)
{
    if (channels == 2)
        copyBounded(text, size, "Stereo");
    else if (channels == 1)
        copyBounded(text, size, "Mono");
}

static void readTitle()
{
    hostReadTitle(playerStatus.title, TITLE_SIZE);
    playerStatus.title[TITLE_SIZE - 1] = '\0';
}

void samplePlayerStatus()
{
    PlayerStatus *s = &playerStatus;

    readTitle();
    // A title of just the host's name means nothing is playing yet: start
    // playback and take the title that follows.
    if (statusTitleIsHostName(s->title)) {
        hostSendPlayCommand();
        readTitle();
    }
    statusCutHostSuffix(s->title);

    int position = hostQuery(HOST_QUERY_TIME, HOST_TIME_POSITION);
    int length = hostQuery(HOST_QUERY_TIME, HOST_TIME_LENGTH);
    statusFormatTime(s->timeText, TIME_TEXT_SIZE, position, length, settings.timeRemaining);

    s->sampleRate = hostQuery(HOST_QUERY_TRACK_INFO, HOST_INFO_SAMPLE_RATE);
    s->bitRate = hostQuery(HOST_QUERY_TRACK_INFO, HOST_INFO_BIT_RATE);
    int channels = hostQuery(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS);
    statusSetChannels(s->channelsText, CHANNELS_TEXT_SIZE, channels);
    snprintf(s->sampleRateText, RATE_TEXT_SIZE, "%02d", s->sampleRate);
    snprintf(s->bitRateText, RATE_TEXT_SIZE, "%02d", s->bitRate);

    int count = hostQuery(HOST_QUERY_PLAYLIST_LENGTH, 0);
    int index = hostQuery(HOST_QUERY_PLAYLIST_INDEX, 0);
    statusFormatTrack(s->trackText, TRACK_TEXT_SIZE, index, count);

    statusStripPlaylistNumber(s->title);
    statusSplitTrackTitle(s->title, s->artist, ARTIST_SIZE, s->song, SONG_SIZE);

    s->playState = hostQuery(HOST_QUERY_PLAY_STATE, 0);
}
