// The plug-in's life in the host (load, start, quit, unload) and what the
// plug-in calls instead of the real Windows functions: its dialog and shell
// calls are logged, and an exit it asks for ends the run with its own
// status. Its timers (timer_steps.cpp), clock (clock_step.cpp) and threads
// (plugin_threads.cpp) have hooks of their own.
#include "host.h"
#include "import_patch.h"
#include "plugin_threads.h"

static const char PLUGIN_EXPORT[] = "winampGetGeneralPurposePlugin";

static HINSTANCE WINAPI hookShellExecuteA(HWND, LPCSTR verb, LPCSTR target, LPCSTR, LPCSTR, INT)
{
    event(std::string("shell ") + (verb ? verb : "(null)") + " " + (target ? target : "(null)"));
    return (HINSTANCE)42; // more than 32: success
}

static INT_PTR WINAPI hookDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM parameter)
{
    event("dialog open");
    INT_PTR result = DialogBoxParamA(instance, name, owner, proc, parameter);
    event("dialog end " + std::to_string((long long)result));
    return result;
}

static void pluginEndedProcess(unsigned status)
{
    event("exit " + std::to_string(status));
    std::fprintf(stderr, "pixelvane-host: the plug-in ended the process with status %u\n", status);
    writeResults();
    ExitProcess(EXIT_PLUGIN_ENDED_PROCESS);
}

static VOID WINAPI hookExitProcess(UINT status) { pluginEndedProcess(status); }
static void __cdecl hookExit(int status) { pluginEndedProcess((unsigned)status); }

static void patchPluginImports(HMODULE module)
{
    patchImport(module, "ShellExecuteA", (void *)hookShellExecuteA);
    patchImport(module, "DialogBoxParamA", (void *)hookDialogBoxParamA);
    patchImport(module, "ExitProcess", (void *)hookExitProcess);
    patchImport(module, "exit", (void *)hookExit);
    patchImport(module, "_exit", (void *)hookExit);
    patchSystemCalls(module);
    patchTimerCalls(module);
    patchClockCalls(module);
    patchThreadCalls(module);
}

// The stand-in where the scenario wants it. "driver elsewhere" puts it only
// where a search by bare name would find it: the host's current folder and
// a folder on PATH. The host loads no copy of that one itself.
static void placeDriver(const Step &step)
{
    if (host.driverElsewhere) {
        std::string onPath = host.outDir + "\\on-path";
        CreateDirectoryW(longPath(onPath).c_str(), nullptr);
        copyFileTo(&step, host.driverSource, host.outDir + "\\" + DRIVER_DLL);
        copyFileTo(&step, host.driverSource, onPath + "\\" + DRIVER_DLL);
        char path[32768];
        DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
        std::string newPath = onPath + (length > 0 && length < sizeof path ? ";" + std::string(path) : "");
        SetEnvironmentVariableA("PATH", newPath.c_str());
        return;
    }
    if (host.driverOff)
        return;
    std::string driverPath = pluginFolderFile(DRIVER_DLL);
    if (host.driverInSystemFolder) {
        std::string folder = host.outDir + "\\system";
        CreateDirectoryW(longPath(folder).c_str(), nullptr);
        driverPath = host.systemDriverPath = folder + "\\" + DRIVER_DLL;
    }
    copyFileTo(&step, host.driverSource, driverPath);
    host.driver = LoadLibraryW(widen(driverPath).c_str());
    EmulatorControlFunction control =
        host.driver ? (EmulatorControlFunction)(void *)GetProcAddress(host.driver, SIM_CONTROL_EXPORT) : nullptr;
    if (control == nullptr)
        fail(&step, "cannot load the port-driver stand-in " + driverPath);
    host.sim = control();
    host.sim->configure(host.base, host.control);
}

// A module other than the 240 x 64 one with the 6-pixel font select, as
// the driver in use set itself up from plugin.ini: an event, and a line
// of the timeline for the replay.
static void noteModuleGlass()
{
    if (host.sim == nullptr)
        return;
    const ModuleGlass &glass = host.sim->emulator()->lcd.glass;
    if (glass.width == SIM_PANEL_WIDTH && glass.height == SIM_PANEL_HEIGHT && glass.cellWidth == SIM_FONT_SELECT)
        return;
    std::string words = std::to_string(glass.width) + " " + std::to_string(glass.height) + " " +
                        std::to_string(glass.cellWidth);
    event("module " + words);
    mark("panel " + words);
}

void startPlugin(const Step &step)
{
    if (host.plugin)
        fail(&step, "the plug-in is already started");
    // The settings first: the stand-ins read the module's keys from the
    // same plugin.ini when the host sets them up.
    addSettings(step);
    if (panelDriverChosen())
        startPanelDriver(step);
    else
        placeDriver(step);
    noteModuleGlass();
    std::string pluginPath = pluginFolderFile(PLUGIN_DLL);
    host.plugin = LoadLibraryW(widen(pluginPath).c_str());
    if (host.plugin == nullptr)
        fail(&step, "the plug-in is missing or cannot be loaded: " + pluginPath);
    patchPluginImports(host.plugin);
    PluginEntry entry = (PluginEntry)(void *)GetProcAddress(host.plugin, PLUGIN_EXPORT);
    if (entry == nullptr)
        fail(&step, std::string("the plug-in has no export ") + PLUGIN_EXPORT);
    host.record = entry();
    host.record->parentWindow = host.window;
    host.record->moduleInstance = host.plugin;
    host.procBeforePlugin = (WNDPROC)GetWindowLongPtrW(host.window, GWLP_WNDPROC);
    int result = host.record->initProc();
    event("init " + std::to_string(result));
    event(std::string("description ") + (host.record->description ? host.record->description : ""));
}

void requirePlugin(const Step &step)
{
    if (host.record == nullptr || host.unloaded)
        fail(&step, "the plug-in is not started");
}

void callQuit()
{
    host.record->quitProc();
    if (IsWindow(host.window)) {
        bool restored = (WNDPROC)GetWindowLongPtrW(host.window, GWLP_WNDPROC) == host.procBeforePlugin;
        event(restored ? "wndproc restored" : "wndproc left");
    }
}

static void freePlugin()
{
    FreeLibrary(host.plugin);
    host.unloaded = true;
    event("unload");
}

void quitPlugin(const Step &step)
{
    requirePlugin(step);
    callQuit();
}

void unloadPlugin(const Step &step)
{
    if (host.plugin == nullptr || host.unloaded)
        fail(&step, "the plug-in is not loaded");
    freePlugin();
    // Whatever the window still calls must not lead into the freed module.
    if (IsWindow(host.window)) {
        deliverTimer(1);
        deliverTimer(2);
        SendMessageW(host.window, WM_USER, 0, 104);
        SendMessageW(host.window, WM_NULL, 0, 0);
        setMainWindowTitle(L"Winamp");
        pumpMessages();
    }
    event("messages after unload delivered");
}

// A host that shuts its plug-ins down from its own WM_CLOSE handler: the
// message came through the plug-in's window procedure, which is still on
// the stack when the module is freed.
void quitAndFreeOnClose()
{
    if (host.record == nullptr || host.unloaded)
        return;
    callQuit();
    freePlugin();
}

// With no driver handed to the plug-in, any port driver that still ended up
// in the process was found by the plug-in itself: its emulator is the one
// to report.
void adoptDriverFoundByPlugin()
{
    if (host.sim)
        return;
    HMODULE found = GetModuleHandleA(DRIVER_DLL);
    EmulatorControlFunction control =
        found ? (EmulatorControlFunction)(void *)GetProcAddress(found, SIM_CONTROL_EXPORT) : nullptr;
    if (control) {
        event("driver loaded by the plug-in");
        host.sim = control();
    }
}
