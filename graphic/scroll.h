// Which of the scrolling text rows (artist, song, album) moves, and how far.
//
// A row whose text fits stands still. A longer one shows its start for a
// while, moves left pixel by pixel until its end is in view, pauses there,
// then starts over at its start. At most one row moves at a time: the other
// waits its turn, showing its start; the turn passes to the next long row.
// A new track puts every row back at its start.
#pragma once

#include <cstdint>

enum {
    SCROLL_ROWS = 3,
    SCROLL_START_PAUSE_MS = 2000, // the start in view before moving
    SCROLL_END_PAUSE_MS = 2000,   // the end in view before starting over
};

enum ScrollPhase {
    SCROLL_STILL,         // fits, or waits its turn at its start
    SCROLL_SHOWING_START, // its start in view, to move once the pause is over
    SCROLL_MOVING,
    SCROLL_AT_END,
};

struct RowScroll {
    int overflow; // text width beyond the row's, in pixels; 0 when it fits
    int offset;   // pixels scrolled left
    ScrollPhase phase;
    uint64_t phaseStartMs;
};

struct ScrollState {
    RowScroll rows[SCROLL_ROWS];
    int nextTurn; // the row to move next when several are long
};

// Every row at its start, with these overflows, at time nowMs.
void scrollRestart(ScrollState *state, const int overflow[SCROLL_ROWS], uint64_t nowMs);

// Starts and ends the pauses due at nowMs (called on every refresh tick).
void scrollAdvanceTime(ScrollState *state, uint64_t nowMs);

// One pixel on for the row that moves; true while a row moves afterwards.
bool scrollStep(ScrollState *state, uint64_t nowMs);

// True while a row moves (the scroll timer runs only then).
bool scrollMoving(const ScrollState &state);
