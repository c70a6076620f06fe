#include "track_tags.h"

#include <cstring>

#include "host.h"

TrackTags trackTags;

// What the last lookup was made for: the position and the title's artist
// and song at that time.
static bool lookedUp;
static int lookupPosition;
static char16_t lookupArtist[ARTIST_SIZE];
static char16_t lookupSong[SONG_SIZE];

static void copyText(char16_t *field, int size, const char16_t *text)
{
    int n = 0;
    for (; text[n] != 0 && n < size - 1; n++)
        field[n] = text[n];
    field[n] = 0;
}

static bool sameText(const char16_t *a, const char16_t *b)
{
    for (; *a != 0 && *a == *b; a++, b++) {
    }
    return *a == *b;
}

void resetTrackTags()
{
    memset(&trackTags, 0, sizeof trackTags);
    lookedUp = false;
    lookupPosition = 0;
    lookupArtist[0] = 0;
    lookupSong[0] = 0;
}

static bool trackChanged(int position)
{
    return !lookedUp || position != lookupPosition || !sameText(unicodeTitle.artist, lookupArtist) ||
           !sameText(unicodeTitle.song, lookupSong);
}

static void takeTitle(TrackTags *tags)
{
    copyText(tags->artist, TAG_TEXT_SIZE, unicodeTitle.artist);
    copyText(tags->title, TAG_TEXT_SIZE, unicodeTitle.song);
    tags->album[0] = 0;
    tags->fromTags = false;
}

static bool readTags(int position, TrackTags *tags)
{
    static char16_t path[TAG_PATH_SIZE];
    if (!hostPlaylistFile(position, path, TAG_PATH_SIZE))
        return false;
    // A refused or empty lookup leaves its field empty.
    hostFileTag(path, "artist", tags->artist, TAG_TEXT_SIZE);
    hostFileTag(path, "title", tags->title, TAG_TEXT_SIZE);
    hostFileTag(path, "album", tags->album, TAG_TEXT_SIZE);
    return tags->artist[0] != 0 || tags->title[0] != 0;
}

void sampleTrackTags()
{
    int position = hostQuery(HOST_QUERY_PLAYLIST_INDEX, 0);
    if (!trackChanged(position))
        return;
    lookedUp = true;
    lookupPosition = position;
    copyText(lookupArtist, ARTIST_SIZE, unicodeTitle.artist);
    copyText(lookupSong, SONG_SIZE, unicodeTitle.song);

    TrackTags *tags = &trackTags;
    tags->fromTags = readTags(position, tags);
    if (!tags->fromTags)
        takeTitle(tags);
}
