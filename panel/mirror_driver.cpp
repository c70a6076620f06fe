#include "mirror_driver.h"

#include "module_folder.h"

#include <string>

static const wchar_t DRIVER_DLL[] = L"inpout32.dll";

static std::wstring systemFolderFile(const wchar_t *name)
{
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(folder, length) + L"\\" + name;
}

static MirrorDriver bind(HMODULE self, const std::wstring &path)
{
    MirrorDriver driver = {nullptr, nullptr};
    if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return driver;
    HMODULE module = LoadLibraryW(path.c_str());
    if (module == NULL)
        return driver;
    // A copy of the panel named inpout32.dll would call itself for ever.
    if (module == self || GetProcAddress(module, "PixelvanePanelControl") != NULL) {
        FreeLibrary(module);
        return driver;
    }
    driver.out = (Out32Function)(void *)GetProcAddress(module, PORT_DRIVER_OUT_EXPORT);
    driver.in = (Inp32Function)(void *)GetProcAddress(module, PORT_DRIVER_IN_EXPORT);
    if (driver.out == nullptr || driver.in == nullptr) {
        FreeLibrary(module);
        driver.out = nullptr;
        driver.in = nullptr;
    }
    return driver;
}

MirrorDriver mirrorDriverLoad(HMODULE self)
{
    MirrorDriver driver = bind(self, moduleFolderFile(self, DRIVER_DLL));
    if (driver.out == nullptr)
        driver = bind(self, systemFolderFile(DRIVER_DLL));
    return driver;
}
