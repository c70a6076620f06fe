// ipc-probe.dll: a plug-in for the host simulator's own tests that asks the
// player, as the host answers it, for its visualisation data, its levels,
// the playing file and that file's tags, and writes what came back to
// ipc-probe.txt beside itself. It touches no port. A scenario installs it
// as gen_pixelvane.dll; each configProc asks once:
//
//   visual none | visual null | spectrum V0 ... V74 scope-nonzero N
//   request none | request made
//   level none | level L R OTHER          (OTHER: what channel 2 gives)
//   file none | file PATH | file unterminated within 32768
//   tag NAME none | tag NAME VALUE | tag NAME unterminated VALUE
//   canary NAME kept | canary NAME overwritten
//
// Tags are asked for artist, title and album of the file 214 gave, into a
// buffer of TAG_BUFFER characters followed by canary characters that the
// player must not touch.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

struct ProbeRecord {
    int version;
    const char *description;
    int (*initProc)();
    void (*configProc)();
    void (*quitProc)();
    HWND parentWindow;
    HINSTANCE moduleInstance;
};

struct TagQuery {
    const wchar_t *filename;
    const wchar_t *metadata;
    wchar_t *ret;
    size_t retlen;
};

typedef char *(__cdecl *VisualDataFunction)(void);
typedef void(__cdecl *VisualRequestFunction)(int);
typedef int(__cdecl *LevelFunction)(int channel);

enum { PLAYLIST_POSITION = 125, PLAYLIST_FILE = 214, VISUAL_DATA = 800, LEVEL = 801, FILE_TAG = 3026 };
enum { SPECTRUM_VALUES = 75, SCOPE_SAMPLES = 75 };
enum { LONGEST_PATH = 32768, TAG_BUFFER = 32, CANARIES = 8 };
static const wchar_t CANARY = 0xFFFF;

static int initProbe() { return 0; }
static void askPlayer();
static void quitProbe() {}

static ProbeRecord record = {0x10, "IPC probe", initProbe, askPlayer, quitProbe, nullptr, nullptr};

static LRESULT ask(WPARAM wParam, LPARAM code)
{
    return SendMessageW(record.parentWindow, WM_USER, wParam, code);
}

static std::string utf8(const wchar_t *text, size_t length)
{
    if (length == 0)
        return "";
    int size = WideCharToMultiByte(CP_UTF8, 0, text, (int)length, nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, (int)length, &result[0], size, nullptr, nullptr);
    return result;
}

static std::string visualLine()
{
    VisualDataFunction data = (VisualDataFunction)ask(0, VISUAL_DATA);
    if (data == nullptr)
        return "visual none";
    const unsigned char *bytes = (const unsigned char *)data();
    if (bytes == nullptr)
        return "visual null";
    std::string line = "spectrum";
    for (int i = 0; i < SPECTRUM_VALUES; i++)
        line += " " + std::to_string(bytes[i]);
    int nonzero = 0;
    for (int i = 0; i < SCOPE_SAMPLES; i++)
        nonzero += bytes[SPECTRUM_VALUES + i] != 0;
    return line + " scope-nonzero " + std::to_string(nonzero);
}

static std::string requestLine()
{
    VisualRequestFunction request = (VisualRequestFunction)ask(1, VISUAL_DATA);
    if (request == nullptr)
        return "request none";
    request(1);
    return "request made";
}

static std::string levelLine()
{
    LevelFunction level = (LevelFunction)ask(0, LEVEL);
    if (level == nullptr)
        return "level none";
    int left = level(0);
    int right = level(1);
    int other = level(2);
    return "level " + std::to_string(left) + " " + std::to_string(right) + " " + std::to_string(other);
}

static std::string fileLine(const wchar_t *path)
{
    if (path == nullptr)
        return "file none";
    size_t length = wcsnlen(path, LONGEST_PATH);
    if (length == LONGEST_PATH)
        return "file unterminated within " + std::to_string(LONGEST_PATH);
    return "file " + utf8(path, length);
}

static std::string tagLines(const wchar_t *path, const wchar_t *name)
{
    wchar_t buffer[TAG_BUFFER + CANARIES];
    for (wchar_t &c : buffer)
        c = CANARY;
    TagQuery query = {path, name, buffer, TAG_BUFFER};
    LRESULT found = ask((WPARAM)&query, FILE_TAG);
    std::string shownName = utf8(name, wcslen(name));
    std::string line = "tag " + shownName;
    size_t length = wcsnlen(buffer, TAG_BUFFER);
    if (found == 0)
        line += " none";
    else if (length == TAG_BUFFER)
        line += " unterminated " + utf8(buffer, length);
    else
        line += " " + utf8(buffer, length);
    bool kept = true;
    for (int i = 0; i < CANARIES; i++)
        kept = kept && buffer[TAG_BUFFER + i] == CANARY;
    return line + "\ncanary " + shownName + (kept ? " kept" : " overwritten");
}

static void askPlayer()
{
    // One query after the other, in the order the report lists them.
    std::string report = visualLine() + "\n";
    report += requestLine() + "\n";
    report += levelLine() + "\n";
    LRESULT position = ask(0, PLAYLIST_POSITION);
    const wchar_t *path = (const wchar_t *)ask((WPARAM)position, PLAYLIST_FILE);
    report += fileLine(path) + "\n";
    // A path without a terminator is no file name to ask about.
    const wchar_t *tagged = path && wcsnlen(path, LONGEST_PATH) < LONGEST_PATH ? path : L"";
    for (const wchar_t *name : {L"artist", L"title", L"album"})
        report += tagLines(tagged, name) + "\n";

    char file[MAX_PATH];
    DWORD length = GetModuleFileNameA(record.moduleInstance, file, sizeof file);
    char *slash = length > 0 && length < sizeof file ? std::strrchr(file, '\\') : nullptr;
    if (slash == nullptr || (size_t)(slash + 1 - file) + sizeof "ipc-probe.txt" > sizeof file)
        return;
    std::strcpy(slash + 1, "ipc-probe.txt");
    if (FILE *out = std::fopen(file, "ab")) {
        std::fputs((report + "--\n").c_str(), out);
        std::fclose(out);
    }
}

extern "C" __declspec(dllexport) ProbeRecord *winampGetGeneralPurposePlugin()
{
    return &record;
}
