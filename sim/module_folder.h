// Files beside a module, by full path.
#pragma once

#include <windows.h>

#include <string>

// The folder of `module` followed by `name`, or "" when the module's path
// cannot be had whole.
std::wstring moduleFolderFile(HMODULE module, const wchar_t *name);
// This DLL's own module handle.
HMODULE thisModule();
