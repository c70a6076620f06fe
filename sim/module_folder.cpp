#include "module_folder.h"

#include <vector>

// The longest path Windows hands out, in the extended form.
enum { LONGEST_PATH = 32768 };

std::wstring moduleFolderFile(HMODULE module, const wchar_t *name)
{
    std::vector<wchar_t> path(LONGEST_PATH);
    DWORD length = GetModuleFileNameW(module, path.data(), (DWORD)path.size());
    // A path that filled the buffer was cut short: never use it.
    if (length == 0 || length >= path.size())
        return std::wstring();
    std::wstring folder(path.data(), length);
    size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::wstring();
    return folder.substr(0, slash + 1) + name;
}

HMODULE thisModule()
{
    HMODULE module = NULL;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)(void *)&thisModule, &module);
    return module;
}
