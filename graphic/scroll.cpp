#include "scroll.h"

static int movingRow(const ScrollState &state)
{
    for (int row = 0; row < SCROLL_ROWS; row++) {
        ScrollPhase phase = state.rows[row].phase;
        if (phase == SCROLL_MOVING || phase == SCROLL_AT_END)
            return row;
    }
    return -1;
}

static void enterPhase(RowScroll *row, ScrollPhase phase, uint64_t nowMs)
{
    row->phase = phase;
    row->phaseStartMs = nowMs;
}

void scrollRestart(ScrollState *state, const int overflow[SCROLL_ROWS], uint64_t nowMs)
{
    for (int i = 0; i < SCROLL_ROWS; i++) {
        RowScroll *row = &state->rows[i];
        row->overflow = overflow[i] > 0 ? overflow[i] : 0;
        row->offset = 0;
        enterPhase(row, row->overflow > 0 ? SCROLL_SHOWING_START : SCROLL_STILL, nowMs);
    }
    state->nextTurn = 0;
}

void scrollAdvanceTime(ScrollState *state, uint64_t nowMs)
{
    int moving = movingRow(*state);
    if (moving >= 0) {
        RowScroll *row = &state->rows[moving];
        if (row->phase != SCROLL_AT_END || nowMs - row->phaseStartMs < SCROLL_END_PAUSE_MS)
            return;
        // Back to its start; the next long row after it moves next.
        row->offset = 0;
        enterPhase(row, SCROLL_SHOWING_START, nowMs);
        state->nextTurn = moving;
        for (int step = 1; step < SCROLL_ROWS; step++) {
            int next = (moving + step) % SCROLL_ROWS;
            if (state->rows[next].overflow > 0) {
                state->nextTurn = next;
                break;
            }
        }
        return;
    }
    for (int i = 0; i < SCROLL_ROWS; i++) {
        int index = (state->nextTurn + i) % SCROLL_ROWS;
        RowScroll *row = &state->rows[index];
        if (row->phase == SCROLL_SHOWING_START && nowMs - row->phaseStartMs >= SCROLL_START_PAUSE_MS) {
            enterPhase(row, SCROLL_MOVING, nowMs);
            return;
        }
    }
}

bool scrollStep(ScrollState *state, uint64_t nowMs)
{
    int moving = movingRow(*state);
    if (moving < 0 || state->rows[moving].phase != SCROLL_MOVING)
        return false;
    RowScroll *row = &state->rows[moving];
    row->offset++;
    if (row->offset >= row->overflow) {
        row->offset = row->overflow;
        enterPhase(row, SCROLL_AT_END, nowMs);
        return false;
    }
    return true;
}

bool scrollMoving(const ScrollState &state)
{
    int moving = movingRow(state);
    return moving >= 0 && state.rows[moving].phase == SCROLL_MOVING;
}
