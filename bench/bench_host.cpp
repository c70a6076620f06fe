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

const char16_t BENCH_TAG_ARTIST[] = u"First Artist";
const char16_t BENCH_TAG_TITLE[] = u"Opening Song";
const char16_t BENCH_TAG_ALBUM[] = u"The Album";
static const char16_t BENCH_PATH[] = u"C:\\Music\\First Artist - Opening Song.mp3";
enum { BENCH_VU_LEFT = 200, BENCH_VU_RIGHT = 100 };
static int vuLevels[2] = {BENCH_VU_LEFT, BENCH_VU_RIGHT};

static bool offersVisualsAndTags;
static char visualData[SPECTRUM_BANDS + OSCILLOSCOPE_SAMPLES];

static char *benchVisualData()
{
    return visualData;
}

static void benchVisualStart(int)
{
}

static int benchVuLevel(int channel)
{
    return vuLevels[channel == 0 ? 0 : 1];
}

void benchHostOfferVisualsAndTags()
{
    for (int band = 0; band < SPECTRUM_BANDS; band++)
        visualData[band] = (char)(band * 255 / (SPECTRUM_BANDS - 1));
    vuLevels[0] = BENCH_VU_LEFT;
    vuLevels[1] = BENCH_VU_RIGHT;
    offersVisualsAndTags = true;
}

void benchHostSetLevels(int left, int right)
{
    vuLevels[0] = left;
    vuLevels[1] = right;
}

void benchHostSetBand(int band, uint8_t value)
{
    if (band >= 0 && band < SPECTRUM_BANDS)
        visualData[band] = (char)value;
}

static bool sameName(const char16_t *wide, const char *name)
{
    for (; *name != '\0' && *wide == (unsigned char)*name; wide++, name++) {
    }
    return *wide == 0 && *name == '\0';
}

static intptr_t benchFileTag(HostTagRequest *request)
{
    const char16_t *value = nullptr;
    if (sameName(request->tagName, "artist"))
        value = BENCH_TAG_ARTIST;
    else if (sameName(request->tagName, "title"))
        value = BENCH_TAG_TITLE;
    else if (sameName(request->tagName, "album"))
        value = BENCH_TAG_ALBUM;
    if (value == nullptr || request->valueSize == 0)
        return 0;
    size_t n = 0;
    for (; value[n] != 0 && n < request->valueSize - 1; n++)
        request->value[n] = value[n];
    request->value[n] = 0;
    return 1;
}

intptr_t hostQueryPointer(int code, intptr_t wParam)
{
    if (!offersVisualsAndTags)
        return hostQuery(code, (int)wParam);
    switch (code) {
    case HOST_QUERY_VISUAL_DATA:
        if (wParam == HOST_VISUAL_DATA_FUNCTION)
            return reinterpret_cast<intptr_t>(&benchVisualData);
        return wParam == HOST_VISUAL_START_FUNCTION ? reinterpret_cast<intptr_t>(&benchVisualStart) : 0;
    case HOST_QUERY_VU_LEVEL:
        return wParam == HOST_VU_LEVEL_FUNCTION ? reinterpret_cast<intptr_t>(&benchVuLevel) : 0;
    case HOST_QUERY_PLAYLIST_FILE:
        return reinterpret_cast<intptr_t>(BENCH_PATH);
    case HOST_QUERY_FILE_TAG:
        return benchFileTag(reinterpret_cast<HostTagRequest *>(wParam));
    default:
        return hostQuery(code, (int)wParam);
    }
}
