// The virtual panel in the host simulator. "driver panel" puts
// pixelvane-panel.dll into the plug-in folder as the port driver in place
// of the stand-in; "driver panel-mirror" puts the stand-in there as well,
// as the real inpout32.dll the panel mirrors every access to. The other
// steps look at the panel's window from outside, as Windows would (those
// of the window itself are in panel_window_steps.cpp), or end its life:
//
//   panel-paint NAME    the window paints its client area into a DIB section
//                       (WM_PRINTCLIENT, the same drawing as WM_PAINT); logs
//                       whether its panel equals the emulator's panel image,
//                       the title, the status line and the visibility, and
//                       writes NAME.window.png
//   panel-close         WM_CLOSE to the window
//   panel-menu ITEM [N] a menu command: scale N, pace N, copy, hide
//   panel-key KEY       a key press reaching the window (1-6, P)
//   panel-clipboard     compares the clipboard's bitmap with the panel
//   panel-save NAME     what Save as PNG writes after its dialog, as NAME.saved.png
//   panel-notice TEXT   the plug-in's PanelNotice(TEXT): TEXT in the status line
//   panel-stats LABEL   paints so far and the time, for measuring the repaint rate
//   panel-free          after unload: the host frees the DLL (its own
//                       reference and the one the unloaded plug-in took
//                       when it first used the panel)
//   panel-end           the window closes for good; its thread ends
#include "host.h"
#include "panel_control.h"
#include "panel_steps.h"

static const char PANEL_DLL[] = "pixelvane-panel.dll";

enum PanelMode { NO_PANEL, PANEL_ALONE, PANEL_MIRRORED };
enum { POLL_MS = 10 };

static PanelMode mode = NO_PANEL;
static std::string panelSource;
static HMODULE panelModule;
static const PanelControl *panel;
static HWND panelWindow;
static LARGE_INTEGER started;

// What the host keeps of the panel's emulator once the DLL may be gone.
static Emulator kept;
static void keptConfigure(unsigned short, unsigned char) {}
static const Emulator *keptState() { return &kept; }
static void keptLogging(bool) {}
static void keptClear() {}
static void keptResetModule() { t6963cReset(&kept.lcd); }
static const EmulatorControl keptControl = {keptConfigure, keptState, keptLogging, keptClear, keptResetModule};
static const EmulatorControl *panelSim;

void setPanelSource(const std::string &path)
{
    panelSource = path;
    QueryPerformanceCounter(&started);
}

bool choosePanelDriver(const std::string &word)
{
    if (word == "panel")
        mode = PANEL_ALONE;
    else if (word == "panel-mirror")
        mode = PANEL_MIRRORED;
    else
        return false;
    return true;
}

bool panelDriverChosen()
{
    return mode != NO_PANEL;
}

static const EmulatorControl *loadSimControl(const Step &step, const std::string &path)
{
    host.driver = LoadLibraryW(widen(path).c_str());
    EmulatorControlFunction control =
        host.driver ? (EmulatorControlFunction)(void *)GetProcAddress(host.driver, SIM_CONTROL_EXPORT) : nullptr;
    if (control == nullptr)
        fail(&step, "cannot load the port-driver stand-in " + path);
    return control();
}

void startPanelDriver(const Step &step)
{
    if (panelSource.empty())
        fail(&step, "the host was given no panel DLL");
    if (mode == PANEL_MIRRORED) {
        std::string driverPath = pluginFolderFile(DRIVER_DLL);
        copyFileTo(&step, host.driverSource, driverPath);
        host.sim = loadSimControl(step, driverPath);
        host.sim->configure(host.base, host.control);
    }
    std::string path = pluginFolderFile(PANEL_DLL);
    copyFileTo(&step, panelSource, path);
    panelModule = LoadLibraryW(widen(path).c_str());
    PanelControlFunction control =
        panelModule ? (PanelControlFunction)(void *)GetProcAddress(panelModule, PANEL_CONTROL_EXPORT) : nullptr;
    if (control == nullptr)
        fail(&step, "cannot load the panel " + path);
    panel = control();
    panelSim = panel->sim;
    panelSim->configure(host.base, host.control);
    if (mode == PANEL_ALONE)
        host.sim = panelSim;
    event(mode == PANEL_ALONE ? "panel driver" : "panel driver, mirrored to the stand-in");
}

HMODULE panelDll(const Step &step)
{
    if (panelModule == nullptr)
        fail(&step, "the panel is not loaded");
    return panelModule;
}

HWND requirePanelWindow(const Step &step)
{
    if (panelWindow == nullptr && panel != nullptr)
        panelWindow = panel->window(PANEL_WINDOW_PATIENCE_MS);
    if (panelWindow == nullptr || !IsWindow(panelWindow))
        fail(&step, "the panel has no window");
    return panelWindow;
}

// From here on the host keeps its own copy of the panel's emulator: the DLL
// may be gone.
static void keepEmulator()
{
    if (panelSim == nullptr || panelSim == &keptControl)
        return;
    kept = *panelSim->emulator();
    if (host.sim == panelSim)
        host.sim = &keptControl;
    panelSim = &keptControl;
}

static std::wstring panelPath()
{
    return longPath(pluginFolderFile(PANEL_DLL));
}

static void logStats(const Step &step)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    long long microseconds = (now.QuadPart - started.QuadPart) * 1000000 / frequency.QuadPart;
    long paints = panel ? panel->paints() : 0;
    event("panel-stats " + step.words[0] + " paints " + std::to_string(paints) + " accesses " +
          std::to_string((unsigned long long)emulator().accessCount) + " us " + std::to_string(microseconds));
}

static void freePanel(const Step &step)
{
    if (!host.unloaded)
        fail(&step, "panel-free must come after unload");
    if (panelModule == nullptr)
        fail(&step, "the panel is not loaded");
    // Only then does the plug-in hold a reference of its own to give back.
    if (panelSim->emulator()->accessCount == 0)
        fail(&step, "the plug-in never used the panel");
    if (panel != nullptr && panelWindow == nullptr)
        panelWindow = panel->window(PANEL_WINDOW_PATIENCE_MS);
    keepEmulator();
    panel = nullptr;
    // The host's own reference, and the one the plug-in took and, unloaded,
    // can no longer give back.
    FreeLibrary(panelModule);
    FreeLibrary(panelModule);
    panelModule = nullptr;
    bool mapped = GetModuleHandleW(panelPath().c_str()) != nullptr;
    event(std::string("panel freed, ") + (mapped ? "still mapped" : "unmapped"));
    DWORD_PTR result;
    if (panelWindow && SendMessageTimeoutW(panelWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, PANEL_WINDOW_PATIENCE_MS, &result))
        event("panel window answers");
}

static bool waitFor(bool (*done)())
{
    for (int waited = 0; waited < PANEL_WINDOW_PATIENCE_MS; waited += POLL_MS) {
        if (done())
            return true;
        Sleep(POLL_MS);
    }
    return done();
}

static bool windowGone() { return !IsWindow(panelWindow); }
static bool panelUnmapped() { return GetModuleHandleW(panelPath().c_str()) == nullptr; }

static void endPanel(const Step &step)
{
    HWND window = requirePanelWindow(step);
    PostMessageW(window, PANEL_MESSAGE_END, 0, 0);
    if (!waitFor(windowGone))
        fail(&step, "the panel window did not close");
    bool unmapped = panelModule == nullptr ? waitFor(panelUnmapped) : panelUnmapped();
    event(std::string("panel ended, ") + (unmapped ? "unmapped" : "still mapped"));
}

void resetMirroredPanelModule()
{
    if (mode == PANEL_MIRRORED && panelSim != nullptr)
        panelSim->resetModule();
}

bool runPanelStep(const Step &step)
{
    const std::string &verb = step.verb;
    if (verb.compare(0, 6, "panel-") != 0)
        return false;
    if (verb == "panel-paint")
        paintPanel(step);
    else if (verb == "panel-close")
        closePanel(step);
    else if (verb == "panel-menu")
        menuCommand(step);
    else if (verb == "panel-key")
        pressPanelKey(step);
    else if (verb == "panel-clipboard")
        checkClipboard(step);
    else if (verb == "panel-save")
        savePanel(step);
    else if (verb == "panel-notice")
        panelNotice(step);
    else if (verb == "panel-stats")
        logStats(step);
    else if (verb == "panel-free")
        freePanel(step);
    else if (verb == "panel-end")
        endPanel(step);
    else
        return false;
    return true;
}

// In mirror mode the panel's own logs, beside the stand-in's: both must
// have seen the same accesses.
void writePanelResults()
{
    if (mode != PANEL_MIRRORED || panelSim == nullptr)
        return;
    const Emulator &seen = *panelSim->emulator();
    for (const std::string &fault : seen.faults)
        event("panel fault " + fault);
    writeTransfers(seen, host.outDir + "\\panel-transfers.txt");
    writePortAccesses(seen, host.outDir + "\\panel-ports.txt");
}
