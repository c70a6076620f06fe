// Replaces entries of a loaded module's import address table, so that the
// module's calls to chosen Windows functions reach the host simulator.
#pragma once

#include <windows.h>

// Points every import of `function` (by name, from any DLL) in `module` at
// `replacement`. Returns the number of entries changed.
int patchImport(HMODULE module, const char *function, void *replacement);

// The names of the DLLs `module` imports from, lower case, one a line.
// Exports are read from the module's own table.
#include <string>
#include <vector>
std::vector<std::string> importedDlls(HMODULE module);
std::vector<std::string> exportedNames(HMODULE module);
