// The ports "the system" lists for the plug-in. Wine lists no parallel
// port, so the host answers the plug-in's SetupAPI, configuration-manager
// and registry calls itself: the Ports class holds the emulated card (LPT1
// at the lpt base) and each "listed-port NAME BASE", in that order, each
// with one allocated I/O range of eight ports from its base.
#include "host.h"

#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstring>

static const GUID PORTS_CLASS = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
enum { PORT_RANGE_LENGTH = 8 };

// Handles of the fakes: port i is device i + 1, key KEY_TAG + i, log
// configuration LOG_CONF_TAG + i and resource descriptor RES_DES_TAG + i.
static char deviceSet;
enum : ULONG_PTR { KEY_TAG = 0x50000000, LOG_CONF_TAG = 0x100, RES_DES_TAG = 0x200 };

struct ListedPort {
    std::string name;
    unsigned base;
};

static std::vector<ListedPort> listedPorts()
{
    std::vector<ListedPort> ports = {{"LPT1", host.base}};
    for (const auto &port : host.listedPorts)
        ports.push_back({port.first, port.second});
    return ports;
}

// Index of the port a handle with the given tag stands for, or -1.
static int portOf(ULONG_PTR handle, ULONG_PTR tag)
{
    if (handle < tag || handle >= tag + listedPorts().size())
        return -1;
    return (int)(handle - tag);
}

static HDEVINFO WINAPI fakeGetClassDevs(const GUID *deviceClass, PCSTR, HWND, DWORD)
{
    event("system lists its ports");
    if (deviceClass == nullptr || !IsEqualGUID(*deviceClass, PORTS_CLASS))
        return INVALID_HANDLE_VALUE;
    return (HDEVINFO)&deviceSet;
}

static BOOL WINAPI fakeEnumDeviceInfo(HDEVINFO devices, DWORD index, SP_DEVINFO_DATA *device)
{
    if (devices != (HDEVINFO)&deviceSet || device == nullptr || device->cbSize != sizeof *device ||
        index >= listedPorts().size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    device->DevInst = index + 1;
    return TRUE;
}

static HKEY WINAPI fakeOpenDevRegKey(HDEVINFO, SP_DEVINFO_DATA *device, DWORD, DWORD, DWORD keyType, REGSAM)
{
    if (device == nullptr || keyType != DIREG_DEV || device->DevInst == 0 || device->DevInst > listedPorts().size())
        return (HKEY)INVALID_HANDLE_VALUE;
    return (HKEY)(KEY_TAG + device->DevInst - 1);
}

static BOOL WINAPI fakeDestroyDeviceInfoList(HDEVINFO)
{
    return TRUE;
}

// The device key holds PortName; any other key is a real one.
static LONG WINAPI fakeRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                        LPDWORD size)
{
    int port = portOf((ULONG_PTR)key, KEY_TAG);
    if (port < 0)
        return RegQueryValueExA(key, name, reserved, type, data, size);
    if (name == nullptr || lstrcmpiA(name, "PortName") != 0)
        return ERROR_FILE_NOT_FOUND;
    const std::string portName = listedPorts()[port].name;
    DWORD needed = (DWORD)portName.size() + 1;
    if (type)
        *type = REG_SZ;
    if (data != nullptr) {
        if (size == nullptr || *size < needed) {
            if (size)
                *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, portName.c_str(), needed);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

static LONG WINAPI fakeRegCloseKey(HKEY key)
{
    return portOf((ULONG_PTR)key, KEY_TAG) >= 0 ? ERROR_SUCCESS : RegCloseKey(key);
}

static CONFIGRET WINAPI fakeGetFirstLogConf(PLOG_CONF config, DEVINST device, ULONG kind)
{
    if (config == nullptr || kind != ALLOC_LOG_CONF || device == 0 || device > listedPorts().size())
        return CR_NO_MORE_LOG_CONF;
    *config = LOG_CONF_TAG + device - 1;
    return CR_SUCCESS;
}

static CONFIGRET WINAPI fakeGetNextResDes(PRES_DES next, RES_DES from, RESOURCEID kind, PRESOURCEID, ULONG)
{
    int port = portOf(from, LOG_CONF_TAG);
    if (next == nullptr || port < 0 || kind != ResType_IO)
        return CR_NO_MORE_RES_DES;
    *next = RES_DES_TAG + port;
    return CR_SUCCESS;
}

static CONFIGRET WINAPI fakeGetResDesDataSize(PULONG size, RES_DES descriptor, ULONG)
{
    if (size == nullptr || portOf(descriptor, RES_DES_TAG) < 0)
        return CR_INVALID_RES_DES;
    *size = sizeof(IO_RESOURCE);
    return CR_SUCCESS;
}

static CONFIGRET WINAPI fakeGetResDesData(RES_DES descriptor, PVOID buffer, ULONG length, ULONG)
{
    int port = portOf(descriptor, RES_DES_TAG);
    if (port < 0 || buffer == nullptr)
        return CR_INVALID_RES_DES;
    if (length < sizeof(IO_RESOURCE))
        return CR_BUFFER_SMALL;
    IO_RESOURCE resource = {};
    resource.IO_Header.IOD_Type = IOType_Range;
    resource.IO_Header.IOD_Alloc_Base = listedPorts()[port].base;
    resource.IO_Header.IOD_Alloc_End = listedPorts()[port].base + PORT_RANGE_LENGTH - 1;
    resource.IO_Header.IOD_DesFlags = fIOD_IO;
    std::memcpy(buffer, &resource, sizeof resource);
    return CR_SUCCESS;
}

static CONFIGRET WINAPI fakeFreeHandle(DWORD_PTR)
{
    return CR_SUCCESS;
}

void *fakePortFunction(const char *name)
{
    static const struct {
        const char *name;
        void *fake;
    } FAKES[] = {
        {"SetupDiGetClassDevsA", (void *)fakeGetClassDevs},
        {"SetupDiEnumDeviceInfo", (void *)fakeEnumDeviceInfo},
        {"SetupDiOpenDevRegKey", (void *)fakeOpenDevRegKey},
        {"SetupDiDestroyDeviceInfoList", (void *)fakeDestroyDeviceInfoList},
        {"RegQueryValueExA", (void *)fakeRegQueryValueExA},
        {"RegCloseKey", (void *)fakeRegCloseKey},
        {"CM_Get_First_Log_Conf", (void *)fakeGetFirstLogConf},
        {"CM_Get_Next_Res_Des", (void *)fakeGetNextResDes},
        {"CM_Get_Res_Des_Data_Size", (void *)fakeGetResDesDataSize},
        {"CM_Get_Res_Des_Data", (void *)fakeGetResDesData},
        {"CM_Free_Res_Des_Handle", (void *)fakeFreeHandle},
        {"CM_Free_Log_Conf_Handle", (void *)fakeFreeHandle},
    };
    for (const auto &fake : FAKES)
        if (std::strcmp(name, fake.name) == 0)
            return fake.fake;
    return nullptr;
}

// "listed-port NAME BASE": the system lists a port (LPT2, COM1, ...) at
// BASE with no card behind it.
void listPort(const Step &step)
{
    host.listedPorts.push_back({step.words[0], (unsigned)number(step, 1)});
}
