// The playing file's artist, title and album from its tags, for the graphic
// screen, or the window title's artist and song where the host has no tags.
//
// The host looks a tag up in the file, which is slow next to a status
// query, so the tags are asked for only when the track changes: when the
// playlist position or the title's artist and song differ from the last
// lookup's. In between, trackTags keeps what it has; a tag edited while the
// track plays shows at the next change. trackTags is owned here.
#pragma once

#include "player_status.h"

enum {
    TAG_TEXT_SIZE = 256,
    // Room for a long path; one longer than this is refused, not cut, and
    // the track shows its window title.
    TAG_PATH_SIZE = 1024,
};

// Every text is terminated within its field.
struct TrackTags {
    char16_t artist[TAG_TEXT_SIZE];
    char16_t title[TAG_TEXT_SIZE];
    char16_t album[TAG_TEXT_SIZE];
    // True when artist and title are the file's tags (one of them may be
    // empty); false when they are unicodeTitle's artist and song and album
    // is empty.
    bool fromTags;
};

extern TrackTags trackTags;

// Start-up: empty texts, and the next sampleTrackTags looks the tags up.
void resetTrackTags();

// After sampleUnicodeTitle, on every tick: one status query for the
// playlist position; when the track changed, one path lookup and one
// lookup for each of the three tags, none otherwise. The title's artist and
// song are taken when the host answers no path, or neither an artist nor a
// title tag.
void sampleTrackTags();
