#include "import_patch.h"

#include <cctype>
#include <cstring>

static IMAGE_NT_HEADERS *ntHeaders(HMODULE module)
{
    BYTE *base = (BYTE *)module;
    IMAGE_DOS_HEADER *dos = (IMAGE_DOS_HEADER *)base;
    return (IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
}

static IMAGE_IMPORT_DESCRIPTOR *firstImport(HMODULE module)
{
    IMAGE_DATA_DIRECTORY directory =
        ntHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return nullptr;
    return (IMAGE_IMPORT_DESCRIPTOR *)((BYTE *)module + directory.VirtualAddress);
}

int patchImport(HMODULE module, const char *function, void *replacement)
{
    BYTE *base = (BYTE *)module;
    int changed = 0;
    for (IMAGE_IMPORT_DESCRIPTOR *import = firstImport(module); import && import->Name; import++) {
        IMAGE_THUNK_DATA *address = (IMAGE_THUNK_DATA *)(base + import->FirstThunk);
        IMAGE_THUNK_DATA *name = (IMAGE_THUNK_DATA *)(base + (import->OriginalFirstThunk
                                                                  ? import->OriginalFirstThunk
                                                                  : import->FirstThunk));
        for (; name->u1.AddressOfData; name++, address++) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME *byName = (IMAGE_IMPORT_BY_NAME *)(base + name->u1.AddressOfData);
            if (std::strcmp((const char *)byName->Name, function) != 0)
                continue;
            DWORD oldProtection;
            VirtualProtect(&address->u1.Function, sizeof address->u1.Function, PAGE_READWRITE, &oldProtection);
            address->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&address->u1.Function, sizeof address->u1.Function, oldProtection, &oldProtection);
            changed++;
        }
    }
    return changed;
}

std::vector<std::string> importedDlls(HMODULE module)
{
    std::vector<std::string> names;
    for (IMAGE_IMPORT_DESCRIPTOR *import = firstImport(module); import && import->Name; import++) {
        std::string name = (const char *)((BYTE *)module + import->Name);
        for (char &c : name)
            c = (char)std::tolower((unsigned char)c);
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> exportedNames(HMODULE module)
{
    std::vector<std::string> names;
    BYTE *base = (BYTE *)module;
    IMAGE_DATA_DIRECTORY directory =
        ntHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0)
        return names;
    IMAGE_EXPORT_DIRECTORY *exports = (IMAGE_EXPORT_DIRECTORY *)(base + directory.VirtualAddress);
    DWORD *nameOffsets = (DWORD *)(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; i++)
        names.push_back((const char *)(base + nameOffsets[i]));
    for (DWORD i = exports->NumberOfNames; i < exports->NumberOfFunctions; i++)
        names.push_back("#ordinal");
    return names;
}
