// The player's answers to the plug-in's queries for visualisation data, the
// output levels, the playing file's path and its tags, as a scenario
// scripts them. Each is a WM_USER message to the main window with the
// query's code in lParam, as the status queries are; the answer is the
// message's return value:
//
//   800  wParam 0: the data function, char *(void): 75 spectrum values
//        (low to high frequency) then 75 oscilloscope samples;
//        wParam 1: the function through which a plug-in asks for the data
//   801  wParam 0: the level function, int (int channel): 0-255 for channel
//        0 (left) or 1 (right), -1 when there is no level
//   214  wParam a playlist position: the file's path, const wchar_t *
//   3026 wParam a TagQuery: fills ret with the tag named by metadata and
//        answers non-zero, or answers 0 for an unknown tag or file
//
// Without a step the host answers 0 to all four, as a player without the
// data or without a playing file does. The steps:
//   spectrum V1 ... Vn      800 gives a data function whose first n of the
//                           75 spectrum values are these (0-255), the rest
//                           and the 75 oscilloscope samples 0
//   spectrum-null           800 gives a data function that returns NULL
//   vu LEFT RIGHT           801 gives a level function returning these
//                           (-1..255)
//   no-visual               800 and 801 answer 0 again
//   file PATH               214 gives PATH (the rest of the line) for any
//                           position
//   file-unterminated       214 gives a path with no terminator within the
//                           longest path Windows knows, then unreadable memory
//   tag NAME [VALUE...]     3026 fills in VALUE (the rest of the line) for
//                           the tag NAME, as much as fits with the
//                           terminator; without a value NAME answers 0 again
//   tag-unterminated NAME VALUE  fills all retlen characters with VALUE
//                           over and over, no terminator
//   tag-long NAME N         a value of N characters (the digits 1234567890
//                           over and over), copied as "tag" copies
// The tag names are matched exactly as the plug-in spells them.
//
// Each query the plug-in sends is a line of ipc.txt, apart from events.txt:
// a plug-in may ask on every tick, and the events' order inside the host's
// modal loops is what other tests hold line by line. The lines:
//   query CODE WPARAM       800, 801 and 214 (WPARAM the position)
//   query 3026 TAG [FILE]   the tag's name and the file asked about
//   request-visual N        a call of the request function with N
//   counts LABEL data-calls N level-calls M requests K
//                           at each "counts LABEL" step: the calls of the
//                           data, level and request functions since start
#include "host.h"

#include <cstring>

enum PlayerIpcCode { IPC_VISUAL_DATA = 800, IPC_LEVEL = 801, IPC_PLAYLIST_FILE = 214, IPC_FILE_TAG = 3026 };
enum { VISUAL_DATA_FUNCTION = 0, VISUAL_REQUEST_FUNCTION = 1 };
enum { SPECTRUM_VALUES = 75, SCOPE_SAMPLES = 75 };
enum { LEFT_CHANNEL = 0, RIGHT_CHANNEL = 1, NO_LEVEL = -1 };

// The query of 3026, as the player reads it: ret holds at most retlen
// characters, the terminator included.
struct TagQuery {
    const wchar_t *filename;
    const wchar_t *metadata;
    wchar_t *ret;
    size_t retlen;
};

// "file-unterminated": a path with no terminator in its first 300
// characters nor in any after them up to the longest path Windows knows,
// where a page nobody may read begins. A read bounded by any path length
// stays in the host's memory; a read without a bound faults (logged as a
// crash) instead of wandering through the host.
enum { READABLE_PATH_CHARACTERS = 32768 };

enum VisualAnswer { VISUAL_NONE, VISUAL_DATA, VISUAL_NULL_DATA };

struct TagAnswer {
    std::wstring value;
    bool unterminated; // fills ret to its last character, no terminator
};

static VisualAnswer visualAnswer = VISUAL_NONE;
static char visualBytes[SPECTRUM_VALUES + SCOPE_SAMPLES];
static bool levelsAnswered = false;
static int levels[2];
static bool fileAnswered = false;
static std::wstring filePath; // valid until the next "file" step
static wchar_t *unterminatedPath = nullptr;
static bool fileUnterminated = false;
static std::map<std::string, TagAnswer> tags; // by the tag's name as asked, UTF-8

// The data and level functions may be called from any of the plug-in's
// threads; the log is written from the host's thread and from them.
static volatile LONG dataCalls, levelCalls, dataRequests;
static CRITICAL_SECTION ipcLogLock;
static FILE *ipcLog = nullptr;

static void ipcLine(const std::string &line)
{
    EnterCriticalSection(&ipcLogLock);
    if (ipcLog) {
        std::fputs(line.c_str(), ipcLog);
        std::fputc('\n', ipcLog);
        std::fflush(ipcLog);
    }
    LeaveCriticalSection(&ipcLogLock);
}

void openIpcLog()
{
    InitializeCriticalSection(&ipcLogLock);
    ipcLog = std::fopen((host.outDir + "\\ipc.txt").c_str(), "w");
}

void closeIpcLog()
{
    EnterCriticalSection(&ipcLogLock);
    if (ipcLog)
        std::fclose(ipcLog);
    ipcLog = nullptr;
    LeaveCriticalSection(&ipcLogLock);
}

// "counts LABEL data-calls N level-calls M requests K" in ipc.txt: the calls
// of the data function, of the level function and of the request function
// since start, beside the queries logged before the step.
void logIpcCounts(const std::string &label)
{
    ipcLine("counts " + label + " data-calls " + std::to_string((long)dataCalls) + " level-calls " +
            std::to_string((long)levelCalls) + " requests " + std::to_string((long)dataRequests));
}

static char *__cdecl visualData()
{
    InterlockedIncrement(&dataCalls);
    return visualBytes;
}

static char *__cdecl noVisualData()
{
    InterlockedIncrement(&dataCalls);
    return nullptr;
}

static void __cdecl requestVisualData(int asking)
{
    InterlockedIncrement(&dataRequests);
    ipcLine("request-visual " + std::to_string(asking));
}

static int __cdecl outputLevel(int channel)
{
    InterlockedIncrement(&levelCalls);
    return channel == LEFT_CHANNEL || channel == RIGHT_CHANNEL ? levels[channel] : NO_LEVEL;
}

static std::string narrow(const wchar_t *text)
{
    if (text == nullptr)
        return "(null)";
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], length, nullptr, nullptr);
    return result;
}

static LRESULT answerVisualData(WPARAM wParam)
{
    if (visualAnswer == VISUAL_NONE)
        return 0;
    if (wParam == VISUAL_DATA_FUNCTION)
        return (LRESULT)(visualAnswer == VISUAL_DATA ? visualData : noVisualData);
    if (wParam == VISUAL_REQUEST_FUNCTION)
        return (LRESULT)requestVisualData;
    return 0;
}

static LRESULT answerPlaylistFile()
{
    if (fileUnterminated)
        return (LRESULT)unterminatedPath;
    return fileAnswered ? (LRESULT)filePath.c_str() : 0;
}

static LRESULT answerTag(const TagQuery *query)
{
    if (query == nullptr) {
        ipcLine("query 3026 (null)");
        return 0;
    }
    std::string name = narrow(query->metadata);
    std::string file = narrow(query->filename);
    ipcLine("query 3026 " + name + (file.empty() ? "" : " " + file));
    auto tag = tags.find(name);
    if (query->metadata == nullptr || tag == tags.end() || query->ret == nullptr || query->retlen == 0)
        return 0;
    const std::wstring &value = tag->second.value;
    if (tag->second.unterminated) {
        for (size_t i = 0; i < query->retlen; i++)
            query->ret[i] = value[i % value.size()];
        return 1;
    }
    // As the player does: as much as fits, and the terminator.
    size_t copied = value.size() < query->retlen - 1 ? value.size() : query->retlen - 1;
    std::memcpy(query->ret, value.data(), copied * sizeof(wchar_t));
    query->ret[copied] = L'\0';
    return 1;
}

bool answerPlayerIpc(WPARAM wParam, LPARAM code, LRESULT *answer)
{
    switch (code) {
    case IPC_VISUAL_DATA:
        ipcLine("query 800 " + std::to_string((unsigned long long)wParam));
        *answer = answerVisualData(wParam);
        return true;
    case IPC_LEVEL:
        ipcLine("query 801 " + std::to_string((unsigned long long)wParam));
        *answer = levelsAnswered && wParam == 0 ? (LRESULT)outputLevel : 0;
        return true;
    case IPC_PLAYLIST_FILE:
        ipcLine("query 214 " + std::to_string((long long)(INT_PTR)wParam));
        *answer = answerPlaylistFile();
        return true;
    case IPC_FILE_TAG:
        *answer = answerTag((const TagQuery *)wParam);
        return true;
    default:
        return false;
    }
}

bool isPlayerIpcCode(long long code)
{
    return code == IPC_VISUAL_DATA || code == IPC_LEVEL || code == IPC_PLAYLIST_FILE || code == IPC_FILE_TAG;
}

// The steps' words were checked when the scenario was read (scenario.cpp).
static void setSpectrum(const Step &step)
{
    std::memset(visualBytes, 0, sizeof visualBytes);
    for (size_t i = 0; i < step.words.size() && i < SPECTRUM_VALUES; i++)
        visualBytes[i] = (char)(unsigned char)number(step, i);
    visualAnswer = VISUAL_DATA;
}

static void makeUnterminatedPath(const Step &step)
{
    if (unterminatedPath == nullptr) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        size_t readable = (READABLE_PATH_CHARACTERS * sizeof(wchar_t) + system.dwPageSize - 1) /
                          system.dwPageSize * system.dwPageSize;
        char *region = (char *)VirtualAlloc(nullptr, readable + system.dwPageSize, MEM_RESERVE, PAGE_NOACCESS);
        if (region == nullptr || VirtualAlloc(region, readable, MEM_COMMIT, PAGE_READWRITE) == nullptr)
            fail(&step, "cannot make the unterminated path's memory");
        // The path ends where the readable pages end.
        unterminatedPath = (wchar_t *)(region + readable) - READABLE_PATH_CHARACTERS;
        static const wchar_t FOLDER[] = L"C:\\Music\\";
        for (size_t i = 0; i < READABLE_PATH_CHARACTERS; i++)
            unterminatedPath[i] = i + 1 < sizeof FOLDER / sizeof FOLDER[0] ? FOLDER[i] : L'a';
    }
    fileUnterminated = true;
}

// "tag NAME VALUE...": the value is the rest of the line after the name and
// one space.
static std::string tagValue(const Step &step)
{
    size_t name = step.text.find(step.words[0]);
    size_t after = name + step.words[0].size();
    return after < step.text.size() ? step.text.substr(after + 1) : std::string();
}

static void setTag(const Step &step, bool unterminated)
{
    std::string value = tagValue(step);
    if (value.empty())
        tags.erase(step.words[0]);
    else
        tags[step.words[0]] = TagAnswer{widen(value), unterminated};
}

// "tag-long NAME N": the digits 1234567890 over and over, N characters, so
// where a copy stopped shows in what it kept.
static void setLongTag(const Step &step)
{
    std::wstring value((size_t)number(step, 1), L'0');
    for (size_t i = 0; i < value.size(); i++)
        value[i] = (wchar_t)(L'0' + (i + 1) % 10);
    tags[step.words[0]] = TagAnswer{value, false};
}

bool runIpcStep(const Step &step)
{
    const std::string &verb = step.verb;
    if (verb == "spectrum") {
        setSpectrum(step);
    } else if (verb == "spectrum-null") {
        visualAnswer = VISUAL_NULL_DATA;
    } else if (verb == "vu") {
        levels[LEFT_CHANNEL] = (int)number(step, 0);
        levels[RIGHT_CHANNEL] = (int)number(step, 1);
        levelsAnswered = true;
    } else if (verb == "no-visual") {
        visualAnswer = VISUAL_NONE;
        levelsAnswered = false;
    } else if (verb == "file") {
        filePath = widen(step.text);
        fileAnswered = true;
        fileUnterminated = false;
    } else if (verb == "file-unterminated") {
        makeUnterminatedPath(step);
    } else if (verb == "tag") {
        setTag(step, false);
    } else if (verb == "tag-unterminated") {
        setTag(step, true);
    } else if (verb == "tag-long") {
        setLongTag(step);
    } else {
        return false;
    }
    return true;
}
