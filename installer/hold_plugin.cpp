// hold_plugin: keeps a plug-in DLL loaded, as a running player does, so the
// installer test can try to install over it.
//   hold_plugin DLL READY_FILE RELEASE_FILE
// Loads DLL, creates READY_FILE, and frees the DLL once RELEASE_FILE exists
// (or after a minute, so a broken test leaves nothing running).
#include <windows.h>

#include <cstdio>

namespace {

const DWORD POLL_MS = 50;
const DWORD GIVE_UP_MS = 60000;

bool exists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: hold_plugin DLL READY_FILE RELEASE_FILE\n");
        return 2;
    }
    HMODULE plugin = LoadLibraryA(argv[1]);
    if (!plugin) {
        std::fprintf(stderr, "hold_plugin: cannot load %s\n", argv[1]);
        return 1;
    }
    std::FILE *ready = std::fopen(argv[2], "w");
    if (ready)
        std::fclose(ready);
    for (DWORD waited = 0; waited < GIVE_UP_MS && !exists(argv[3]); waited += POLL_MS)
        Sleep(POLL_MS);
    FreeLibrary(plugin);
    return 0;
}
