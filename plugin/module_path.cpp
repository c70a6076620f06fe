#include "module_path.h"

#include "plugin_record.h"

#include <windows.h>

const char *fileNamePart(const char *path)
{
    const char *p = path + lstrlenA(path);
    while (p > path && p[-1] != '\\')
        p--;
    return p;
}

bool pluginFolderPath(const char *name, char *buffer, int size)
{
    buffer[0] = '\0';
    DWORD length = GetModuleFileNameA(pluginRecord.moduleInstance, buffer, (DWORD)size);
    // A module path that filled the buffer was cut short: never use it.
    if (length == 0 || length >= (DWORD)size) {
        buffer[0] = '\0';
        return false;
    }
    char *folderEnd = buffer + (fileNamePart(buffer) - buffer);
    int nameLength = lstrlenA(name);
    if ((folderEnd - buffer) + nameLength >= size) {
        buffer[0] = '\0';
        return false;
    }
    *folderEnd = '\0';
    lstrcatA(buffer, name);
    return true;
}

bool systemFolderPath(const char *name, char *buffer, int size)
{
    buffer[0] = '\0';
    UINT length = GetSystemDirectoryA(buffer, (UINT)size);
    if (length == 0 || (int)length + 1 + lstrlenA(name) >= size) {
        buffer[0] = '\0';
        return false;
    }
    lstrcatA(buffer, "\\");
    lstrcatA(buffer, name);
    return true;
}
