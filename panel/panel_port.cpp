// pixelvane-panel.dll: the port driver's two exports (Out32, Inp32, both
// __stdcall, as inpout32.dll has them) in front of the project's T6963C
// emulator, and a window that shows the panel. The plug-in binds it
// exactly as it binds a port driver.
//
// The first access starts the panel: it reads the window's settings, looks
// for a real inpout32.dll to mirror to, and starts the window's thread.
// Nothing is done while Windows loads the DLL, so nothing waits under the
// loader lock.
#include "mirror_driver.h"
#include "module_folder.h"
#include "pace.h"
#include "panel_card.h"
#include "panel_control.h"
#include "panel_settings.h"
#include "panel_window.h"

static const wchar_t SETTINGS_FILE[] = L"pixelvane-panel.ini";

static PanelCard card;
static struct CardPowerOn {
    CardPowerOn() { panelCardStart(&card); }
} cardPowerOn;

static MirrorDriver mirror;
enum { NOT_STARTED, STARTING, STARTED };
static volatile LONG started = NOT_STARTED;

// Once, at the first access. Another thread's first access waits for it
// (the plug-in itself uses one thread).
static void startPanel()
{
    if (started == STARTED)
        return;
    if (InterlockedCompareExchange(&started, STARTING, NOT_STARTED) != NOT_STARTED) {
        while (started != STARTED)
            Sleep(0);
        return;
    }
    HMODULE self = thisModule();
    std::wstring settingsPath = moduleFolderFile(self, SETTINGS_FILE);
    PanelSettings settings;
    panelSettingsLoad(settingsPath, &settings);
    paceSet(settings.paceUs);
    mirror = mirrorDriverLoad(self);
    panelCardFollowPortSwitch(&card, mirror.out == nullptr);
    panelWindowStart(&card, mirror.out != nullptr, settingsPath, settings);
    InterlockedExchange(&started, STARTED);
}

extern "C" void __stdcall Out32(short port, short value)
{
    startPanel();
    pacePortAccess();
    if (mirror.out)
        mirror.out(port, value);
    panelCardOut(&card, (uint16_t)port, (uint8_t)value);
}

extern "C" short __stdcall Inp32(short port)
{
    startPanel();
    pacePortAccess();
    if (mirror.in)
        return panelCardMirroredIn(&card, (uint16_t)port, (uint8_t)mirror.in(port));
    return panelCardIn(&card, (uint16_t)port);
}

static void configure(unsigned short base, unsigned char control)
{
    panelCardConfigure(&card, base, control);
}

static const Emulator *emulatorState()
{
    return &card.emulator;
}

static void setAccessLogging(bool on)
{
    card.emulator.logAccesses = on;
}

static void clearLogs()
{
    panelCardClearLogs(&card);
}

static HWND windowHandle(DWORD waitMs)
{
    return started == STARTED ? panelWindowHandle(waitMs) : nullptr;
}

static long paints()
{
    return panelWindowPaints();
}

static const EmulatorControl simControl = {configure, emulatorState, setAccessLogging, clearLogs};
static const PanelControl panelControl = {&simControl, windowHandle, paints};

extern "C" const PanelControl *PixelvanePanelControl()
{
    return &panelControl;
}
