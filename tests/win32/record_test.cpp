// Loads gen_pixelvane.dll as the host does and checks what it hands over
// before start-up: the record's version, an empty description, the three
// callbacks, and zero handles for the host to fill in.
#include <windows.h>

#include <cstdio>
#include <cstring>

struct Record {
    int version;
    const char *description;
    int (*initProc)();
    void (*configProc)();
    void (*quitProc)();
    HWND parentWindow;
    HINSTANCE moduleInstance;
};

static int passed, failed;

static void check(bool condition, const char *what)
{
    if (condition) {
        passed++;
    } else {
        failed++;
        std::printf("FAILED: %s\n", what);
    }
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::printf("usage: record_test PLUGIN.dll\n");
        return 2;
    }
    HMODULE plugin = LoadLibraryA(argv[1]);
    check(plugin != NULL, "the plug-in loads");
    if (plugin == NULL) {
        std::printf("%d passed, %d failed\n", passed, failed);
        return 1;
    }
    typedef Record *(*Entry)();
    Entry entry = (Entry)(void *)GetProcAddress(plugin, "winampGetGeneralPurposePlugin");
    check(entry != NULL, "the export is there, undecorated");
    if (entry != NULL) {
        Record *record = entry();
        check(record == entry(), "every call returns the same record");
        check(record->version == 0x10, "record version 0x10");
        check(record->description != NULL && record->description[0] == '\0', "description empty before start-up");
        check(record->initProc && record->configProc && record->quitProc, "the three callbacks are set");
        check(record->parentWindow == NULL && record->moduleInstance == NULL, "handles left for the host");
    }
    check(GetProcAddress(plugin, "_winampGetGeneralPurposePlugin") == NULL, "no decorated alias");
    FreeLibrary(plugin);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
