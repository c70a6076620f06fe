// pixelvane-panel.dll: the port driver's two exports (Out32, Inp32, both
// __stdcall, as inpout32.dll has them) in front of the project's T6963C
// emulator, and a window that shows the panel. The plug-in binds it
// exactly as it binds a port driver.
//
// The first access starts the panel: it reads the window's settings, looks
// for a real inpout32.dll to mirror to, and starts the window's thread.
// Nothing is done while Windows loads the DLL, so nothing waits under the
// loader lock.
//
// The module is the one the plug-in drives: "Panel Size" and "Font Select"
// in plugin.ini beside the DLL (the plug-in's folder), read once, before
// the card's first byte or the host's set-up; keys the plug-in would
// refuse give the 240 x 64 module and the reason in the status line.
#include "mirror_driver.h"
#include "module_folder.h"
#include "module_keys.h"
#include "pace.h"
#include "panel_card.h"
#include "panel_control.h"
#include "panel_notice.h"
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

static bool moduleKeysRead;

// The host's set-up comes first or the first access does; the player's
// thread and the host's never make them at once.
static void readModuleKeys()
{
    if (moduleKeysRead)
        return;
    moduleKeysRead = true;
    ModuleGlass glass;
    char why[MODULE_KEYS_REASON_SIZE];
    if (!moduleGlassFromIni(pluginIniBeside(), &glass, why, sizeof why))
        panelKeysRefusedSet(why);
    panelCardSetGlass(&card, glass);
}

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
    readModuleKeys();
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
    readModuleKeys();
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

// Only the controller is reset; the card keeps its latch, base and
// counters. The change is made as the card's own are (the writer's half of
// its sequence lock, panel_card.h), so the window's next copy shows the
// blank module. The host calls this only while the plug-in's threads are
// held away from the port, so the card has one writer at a time.
static void resetModule()
{
    uint32_t before = card.sequence.load(std::memory_order_relaxed);
    card.sequence.store(before + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    t6963cReset(&card.emulator.lcd);
    card.sequence.store(before + 2, std::memory_order_release);
}

static HWND windowHandle(DWORD waitMs)
{
    return started == STARTED ? panelWindowHandle(waitMs) : nullptr;
}

static long paints()
{
    return panelWindowPaints();
}

static const EmulatorControl simControl = {configure, emulatorState, setAccessLogging, clearLogs, resetModule};
static const PanelControl panelControl = {&simControl, windowHandle, paints};

// The plug-in's own words in the status line for a few seconds (at most
// PANEL_NOTICE_CHARACTERS of them, printable ASCII; null or "" takes the
// notice down). The text is copied at once.
extern "C" void __stdcall PanelNotice(const char *text)
{
    panelNoticeSet(text);
}

extern "C" const PanelControl *PixelvanePanelControl()
{
    return &panelControl;
}
