#include "player_status.h"

#include <cstdio>
#include <cstring>

#include "host.h"
#include "settings.h"

PlayerStatus playerStatus;

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

    s->positionMs = hostQuery(HOST_QUERY_TIME, HOST_TIME_POSITION);
    s->lengthSeconds = hostQuery(HOST_QUERY_TIME, HOST_TIME_LENGTH);
    statusFormatTime(s->timeText, TIME_TEXT_SIZE, s->positionMs, s->lengthSeconds, settings.timeRemaining);

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

UnicodeTitle unicodeTitle;

void sampleUnicodeTitle()
{
    UnicodeTitle *u = &unicodeTitle;
    if (hostReadUnicodeTitle(u->title, TITLE_SIZE)) {
        u->title[TITLE_SIZE - 1] = 0;
        statusCutTitle(u->title, u->artist, ARTIST_SIZE, u->song, SONG_SIZE);
        return;
    }
    hostWidenText(playerStatus.artist, u->artist, ARTIST_SIZE);
    hostWidenText(playerStatus.song, u->song, SONG_SIZE);
}
