#include "bench_host.h"

#include <cstring>

#include "host.h"
#include "player_status.h"

const char BENCH_TITLE_FIRST[] = "1. First Artist - Opening Song - Winamp";
const char BENCH_TITLE_SECOND[] = "2. Second Artist - Another Song - Winamp";

enum { MAX_ANSWERS = 16 };

struct Answer {
    int code;
    int wParam;
    int value;
};

static const char *title = BENCH_TITLE_FIRST;
static Answer answers[MAX_ANSWERS];
static int answerCount;

void benchHostSetTitle(const char *text)
{
    title = text;
}

void benchHostAnswer(int code, int wParam, int value)
{
    for (int i = 0; i < answerCount; i++) {
        if (answers[i].code == code && answers[i].wParam == wParam) {
            answers[i].value = value;
            return;
        }
    }
    if (answerCount < MAX_ANSWERS)
        answers[answerCount++] = Answer{code, wParam, value};
}

void benchHostPlayTrack()
{
    benchHostSetTitle(BENCH_TITLE_FIRST);
    benchHostAnswer(HOST_QUERY_PLAY_STATE, 0, PLAY_STATE_PLAYING);
    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, 75000);
    benchHostAnswer(HOST_QUERY_TIME, HOST_TIME_LENGTH, 200);
    benchHostAnswer(HOST_QUERY_PLAYLIST_LENGTH, 0, 7);
    benchHostAnswer(HOST_QUERY_PLAYLIST_INDEX, 0, 0);
    benchHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_SAMPLE_RATE, 44);
    benchHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_BIT_RATE, 128);
    benchHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, 2);
}

void hostReadTitle(char *buffer, int size)
{
    strncpy(buffer, title, (size_t)size - 1);
    buffer[size - 1] = '\0';
}

// The bench's host window is ANSI; its code page taken as Latin-1.
bool hostReadUnicodeTitle(char16_t *, int)
{
    return false;
}

void hostWidenText(const char *text, char16_t *buffer, int size)
{
    int n = 0;
    for (; text[n] != '\0' && n < size - 1; n++)
        buffer[n] = (unsigned char)text[n];
    buffer[n] = 0;
}

int hostQuery(int code, int wParam)
{
    for (int i = 0; i < answerCount; i++) {
        if (answers[i].code == code && answers[i].wParam == wParam)
            return answers[i].value;
    }
    return 0;
}

void hostSendPlayCommand()
{
}
