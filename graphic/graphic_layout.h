// Where the graphic screen puts what: its layouts as plain drawing
// functions over what they show, so tests can draw the frame a scenario
// must leave on the panel.
#pragma once

#include "frame.h"

// The status of what plays.
struct StatusContent {
    const char32_t *artist;
    int artistLength;
    int artistOffset; // pixels scrolled left
    const char32_t *song;
    int songLength;
    int songOffset;
    int playState;
    const char *timeText; // "mm:ss/mm:ss", or "mm:ss" for a stream
    const char *infoText; // playlist position, rates, channels
    int positionMs;       // for the bar; a length of 0 or less draws none
    int lengthSeconds;
};

// The idle clock.
struct IdleContent {
    const char *time; // "12:34"
    const char32_t *amPm;
    int amPmLength; // 0 on the 24-hour clock
    const char32_t *date;
    int dateLength;
    const char32_t *lastArtist;
    int lastArtistLength;
};

enum {
    SCREEN_TEXT_SIZE = 64,
    ROW_WIDTH = PANEL_WIDTH, // the artist and song rows
};

void drawStatusContent(Frame *frame, const StatusContent &content);
void drawIdleContent(Frame *frame, const IdleContent &content);

// How many pixels of the progress bar are filled (what a tick may change).
int progressBarFill(int positionMs, int lengthSeconds);

// The width of an artist or song text in its row's font, in pixels.
int rowTextWidth(const char32_t *text, int length);

// The texts of the status, from the host's answers: the time (elapsed or
// remaining, as timeRemaining says) and the length, the elapsed time alone
// for a stream (a length of 0 or less); the info line.
void formatScreenTime(char *text, int size, int positionMs, int lengthSeconds, int timeRemaining);
void formatInfoLine(char *text, int size, const char *track, const char *sampleRate, const char *bitRate,
                    const char *channels);

// "12:34" on the 24-hour clock, "0:34" .. "12:59" on the 12-hour one.
void formatClockTime(char *text, int size, int hour, int minute, bool twelveHour);
