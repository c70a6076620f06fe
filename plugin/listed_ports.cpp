// Asks Windows which parallel ports it knows: SetupAPI lists the devices of
// the Ports class, each device's key names it (PortName "LPT1" or "COM1"),
// and the configuration manager gives the I/O ranges it was allocated.
//
// None of this may be in the import table (Windows 95 has no
// cfgmgr32.dll, and the plug-in imports only what every system has), so
// the three DLLs are loaded from the system folder by full path and the
// functions looked up at run time.
#include "listed_ports.h"

#include "module_path.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

// The Ports device class: serial and parallel ports.
static const GUID PORTS_CLASS = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
static const char PARALLEL_PORT_NAME[] = "LPT";

typedef HDEVINFO(WINAPI *GetClassDevsFunction)(const GUID *, PCSTR, HWND, DWORD);
typedef BOOL(WINAPI *EnumDeviceInfoFunction)(HDEVINFO, DWORD, SP_DEVINFO_DATA *);
typedef HKEY(WINAPI *OpenDevRegKeyFunction)(HDEVINFO, SP_DEVINFO_DATA *, DWORD, DWORD, DWORD, REGSAM);
typedef BOOL(WINAPI *DestroyDeviceInfoListFunction)(HDEVINFO);
typedef LONG(WINAPI *RegQueryValueExFunction)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
typedef LONG(WINAPI *RegCloseKeyFunction)(HKEY);
typedef CONFIGRET(WINAPI *GetFirstLogConfFunction)(PLOG_CONF, DEVINST, ULONG);
typedef CONFIGRET(WINAPI *GetNextResDesFunction)(PRES_DES, RES_DES, RESOURCEID, PRESOURCEID, ULONG);
typedef CONFIGRET(WINAPI *GetResDesDataSizeFunction)(PULONG, RES_DES, ULONG);
typedef CONFIGRET(WINAPI *GetResDesDataFunction)(RES_DES, PVOID, ULONG, ULONG);
typedef CONFIGRET(WINAPI *FreeResDesHandleFunction)(RES_DES);
typedef CONFIGRET(WINAPI *FreeLogConfHandleFunction)(LOG_CONF);

struct PortListing {
    GetClassDevsFunction getClassDevs;
    EnumDeviceInfoFunction enumDeviceInfo;
    OpenDevRegKeyFunction openDevRegKey;
    DestroyDeviceInfoListFunction destroyDeviceInfoList;
    RegQueryValueExFunction regQueryValueEx;
    RegCloseKeyFunction regCloseKey;
    GetFirstLogConfFunction getFirstLogConf;
    GetNextResDesFunction getNextResDes;
    GetResDesDataSizeFunction getResDesDataSize;
    GetResDesDataFunction getResDesData;
    FreeResDesHandleFunction freeResDesHandle;
    FreeLogConfHandleFunction freeLogConfHandle;
};

static HMODULE loadSystemLibrary(const char *name)
{
    char path[MAX_PATH * 2];
    return systemFolderPath(name, path, sizeof path) ? LoadLibraryA(path) : NULL;
}

static void freeLibrary(HMODULE module)
{
    if (module != NULL)
        FreeLibrary(module);
}

static void *find(HMODULE module, const char *name)
{
    return module ? (void *)GetProcAddress(module, name) : NULL;
}

static bool bindListing(PortListing *api, HMODULE setupApi, HMODULE configManager, HMODULE registry)
{
    api->getClassDevs = (GetClassDevsFunction)find(setupApi, "SetupDiGetClassDevsA");
    api->enumDeviceInfo = (EnumDeviceInfoFunction)find(setupApi, "SetupDiEnumDeviceInfo");
    api->openDevRegKey = (OpenDevRegKeyFunction)find(setupApi, "SetupDiOpenDevRegKey");
    api->destroyDeviceInfoList = (DestroyDeviceInfoListFunction)find(setupApi, "SetupDiDestroyDeviceInfoList");
    api->regQueryValueEx = (RegQueryValueExFunction)find(registry, "RegQueryValueExA");
    api->regCloseKey = (RegCloseKeyFunction)find(registry, "RegCloseKey");
    api->getFirstLogConf = (GetFirstLogConfFunction)find(configManager, "CM_Get_First_Log_Conf");
    api->getNextResDes = (GetNextResDesFunction)find(configManager, "CM_Get_Next_Res_Des");
    api->getResDesDataSize = (GetResDesDataSizeFunction)find(configManager, "CM_Get_Res_Des_Data_Size");
    api->getResDesData = (GetResDesDataFunction)find(configManager, "CM_Get_Res_Des_Data");
    api->freeResDesHandle = (FreeResDesHandleFunction)find(configManager, "CM_Free_Res_Des_Handle");
    api->freeLogConfHandle = (FreeLogConfHandleFunction)find(configManager, "CM_Free_Log_Conf_Handle");
    return api->getClassDevs && api->enumDeviceInfo && api->openDevRegKey && api->destroyDeviceInfoList &&
           api->regQueryValueEx && api->regCloseKey && api->getFirstLogConf && api->getNextResDes &&
           api->getResDesDataSize && api->getResDesData && api->freeResDesHandle && api->freeLogConfHandle;
}

// A port of the class is a parallel one when its device key names it LPTn.
static bool isParallelPort(const PortListing &api, HDEVINFO devices, SP_DEVINFO_DATA *device)
{
    HKEY key = api.openDevRegKey(devices, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE || key == NULL)
        return false;
    char name[16];
    DWORD type = 0;
    DWORD size = sizeof name - 1;
    LONG result = api.regQueryValueEx(key, "PortName", NULL, &type, (BYTE *)name, &size);
    api.regCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || size < sizeof PARALLEL_PORT_NAME)
        return false;
    name[sizeof PARALLEL_PORT_NAME - 1] = '\0';
    return lstrcmpiA(name, PARALLEL_PORT_NAME) == 0;
}

// The start of one I/O range the device was given.
static bool ioRangeBase(const PortListing &api, RES_DES descriptor, int *base)
{
    union {
        IO_DES header;
        BYTE bytes[256];
    } data;
    ULONG size = 0;
    if (api.getResDesDataSize(&size, descriptor, 0) != CR_SUCCESS || size < sizeof data.header ||
        size > sizeof data || api.getResDesData(descriptor, &data, size, 0) != CR_SUCCESS)
        return false;
    if (data.header.IOD_Alloc_Base > 0xFFFF)
        return false;
    *base = (int)data.header.IOD_Alloc_Base;
    return true;
}

static int ioBases(const PortListing &api, DEVINST device, int *bases, int capacity)
{
    LOG_CONF config;
    if (api.getFirstLogConf(&config, device, ALLOC_LOG_CONF) != CR_SUCCESS &&
        api.getFirstLogConf(&config, device, BOOT_LOG_CONF) != CR_SUCCESS)
        return 0;
    int count = 0;
    RES_DES descriptor;
    CONFIGRET result = api.getNextResDes(&descriptor, config, ResType_IO, NULL, 0);
    while (result == CR_SUCCESS && count < capacity) {
        if (ioRangeBase(api, descriptor, &bases[count]))
            count++;
        RES_DES next;
        result = api.getNextResDes(&next, descriptor, ResType_IO, NULL, 0);
        api.freeResDesHandle(descriptor);
        descriptor = next;
    }
    if (result == CR_SUCCESS)
        api.freeResDesHandle(descriptor);
    api.freeLogConfHandle(config);
    return count;
}

static int listWith(const PortListing &api, int *bases, int capacity)
{
    HDEVINFO devices = api.getClassDevs(&PORTS_CLASS, NULL, NULL, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof device;
    for (DWORD i = 0; count < capacity && api.enumDeviceInfo(devices, i, &device); i++)
        if (isParallelPort(api, devices, &device))
            count += ioBases(api, device.DevInst, bases + count, capacity - count);
    api.destroyDeviceInfoList(devices);
    return count;
}

int listParallelPortBases(int *bases, int capacity)
{
    HMODULE setupApi = loadSystemLibrary("setupapi.dll");
    HMODULE configManager = loadSystemLibrary("cfgmgr32.dll");
    HMODULE registry = loadSystemLibrary("advapi32.dll");
    PortListing api;
    int count = 0;
    if (bindListing(&api, setupApi, configManager, registry))
        count = listWith(api, bases, capacity);
    freeLibrary(setupApi);
    freeLibrary(configManager);
    freeLibrary(registry);
    return count;
}
