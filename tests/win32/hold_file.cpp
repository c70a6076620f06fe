// hold_file: keeps a file open, as another program can, so the converter
// test can try to replace it.
//   hold_file FILE SHARING READY_FILE RELEASE_FILE
// SHARING is "none" (others may not even read it) or "delete" (others may
// read, delete and rename it). Opens FILE, creates READY_FILE, and closes
// FILE once RELEASE_FILE exists (or after a minute).
#include <windows.h>

#include <cstdio>
#include <cstring>

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
    if (argc != 5 || (std::strcmp(argv[2], "none") != 0 && std::strcmp(argv[2], "delete") != 0)) {
        std::fprintf(stderr, "usage: hold_file FILE none|delete READY_FILE RELEASE_FILE\n");
        return 2;
    }
    DWORD sharing = std::strcmp(argv[2], "none") == 0 ? 0 : FILE_SHARE_READ | FILE_SHARE_DELETE;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold_file: cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    std::FILE *ready = std::fopen(argv[3], "w");
    if (ready)
        std::fclose(ready);
    for (DWORD waited = 0; waited < GIVE_UP_MS && !exists(argv[4]); waited += POLL_MS)
        Sleep(POLL_MS);
    CloseHandle(file);
    return 0;
}
