// pixelvane-host: plays the media player's part for the plug-in, under
// Wine, driven by a scenario file.
//
//   pixelvane-host.exe SCENARIO OUTDIR PLUGIN_FILES_DIR DRIVER_DLL
//
// PLUGIN_FILES_DIR holds gen_pixelvane.dll and the pictures that a user
// installs beside it; DRIVER_DLL is the inpout32.dll stand-in. Both are
// copied into OUTDIR\plugins, a fresh plug-in folder. Time is virtual: the
// plug-in's timers are logged and never started, and the scenario's tick
// steps deliver the timer messages. The step "counts LABEL" logs the
// running totals of port accesses and latched bytes as
// "counts LABEL accesses N transfers M", for measuring what steps cost.
#include "import_patch.h"
#include "scenario.h"
#include "sim_control.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The plug-in record as the host reads it: seven 32-bit fields.
struct HostPluginRecord {
    int version;
    const char *description;
    int (*initProc)();
    void (*configProc)();
    void (*quitProc)();
    HWND parentWindow;
    HINSTANCE moduleInstance;
};
typedef HostPluginRecord *(*PluginEntry)();

static const wchar_t HOST_WINDOW_CLASS[] = L"Winamp v1.x";
static const char PLUGIN_DLL[] = "gen_pixelvane.dll";
static const char DRIVER_DLL[] = "inpout32.dll";
static const char PLUGIN_EXPORT[] = "winampGetGeneralPurposePlugin";
enum { PLAY_COMMAND = 40045, CONFIG_STEP_PERIOD_MS = 10, CONFIG_END_PATIENCE = 300 };

enum ExitCode {
    EXIT_OK = 0,
    EXIT_STEP_FAILED = 1,
    EXIT_USAGE = 2,
    EXIT_CRASHED = 3,
    EXIT_PLUGIN_ENDED_PROCESS = 4,
};

struct Host {
    std::string scenarioFolder;
    std::string outDir;
    std::string pluginsDir;
    std::string pluginFilesDir;
    std::string driverSource;
    FILE *events = nullptr;
    FILE *timeline = nullptr;
    HWND window = nullptr;
    WNDPROC procBeforePlugin = nullptr;
    HMODULE plugin = nullptr;
    HMODULE driver = nullptr;
    const SimControl *sim = nullptr;
    HostPluginRecord *record = nullptr;
    std::map<std::pair<long long, long long>, long long> answers;
    std::wstring playTitle;
    bool havePlayTitle = false;
    bool driverOff = false;
    bool driverInSearchPath = false;
    unsigned short base = 888;
    unsigned char control = 0xCC;
    std::vector<Step> steps;
    size_t next = 0;
    bool inConfig = false;
    bool stepRunning = false;
    int endWaits = 0;
    bool unloaded = false;
    bool finished = false;
    long timerMessages = 0;
};

static Host host;
static Emulator noEmulator; // stands in when no driver was loaded

static std::wstring widen(const std::string &text)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    return wide;
}

static void event(const std::string &line)
{
    if (host.events) {
        std::fputs(line.c_str(), host.events);
        std::fputc('\n', host.events);
        std::fflush(host.events);
    }
}

static const Emulator &emulator()
{
    return host.sim ? *host.sim->emulator() : noEmulator;
}

// timeline.txt: "ACCESSES WHAT" for each step as it begins, where ACCESSES
// is the number of port accesses made so far. Replaying ports.txt against
// it puts every access in its step (each timer message gets its own line).
static void mark(const std::string &what)
{
    if (host.timeline) {
        std::fprintf(host.timeline, "%llu %s\n", (unsigned long long)emulator().accessCount, what.c_str());
        std::fflush(host.timeline);
    }
}

// With no driver handed to the plug-in, any port driver that still ended up
// in the process was found by the plug-in itself: its emulator is the one
// to report.
static void adoptDriverFoundByPlugin()
{
    if (host.sim)
        return;
    HMODULE found = GetModuleHandleA(DRIVER_DLL);
    SimControlFunction control =
        found ? (SimControlFunction)(void *)GetProcAddress(found, SIM_CONTROL_EXPORT) : nullptr;
    if (control) {
        event("driver loaded by the plug-in");
        host.sim = control();
    }
}

static void writeResults()
{
    if (host.finished)
        return;
    host.finished = true;
    adoptDriverFoundByPlugin();
    for (const std::string &fault : emulator().faults)
        event("fault " + fault);
    writeTransfers(emulator(), host.outDir + "\\transfers.txt");
    writePortAccesses(emulator(), host.outDir + "\\ports.txt");
    if (host.events)
        std::fclose(host.events);
    host.events = nullptr;
    if (host.timeline)
        std::fclose(host.timeline);
    host.timeline = nullptr;
}

[[noreturn]] static void fail(const Step *step, const std::string &message)
{
    if (step)
        std::fprintf(stderr, "pixelvane-host: line %d (%s): %s\n", step->line, step->verb.c_str(), message.c_str());
    else
        std::fprintf(stderr, "pixelvane-host: %s\n", message.c_str());
    writeResults();
    ExitProcess(EXIT_STEP_FAILED);
}

// ---- what the plug-in calls instead of the real functions ----

static UINT_PTR WINAPI hookSetTimer(HWND, UINT_PTR id, UINT period, TIMERPROC)
{
    event("settimer " + std::to_string(id) + " " + std::to_string(period));
    return id == 0 ? 1 : id;
}

static BOOL WINAPI hookKillTimer(HWND, UINT_PTR id)
{
    event("killtimer " + std::to_string(id));
    return TRUE;
}

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

// A fault nobody handled would take a real player down. Record it and end
// at once, instead of waiting for a debugger that nobody will attach.
static LONG WINAPI unhandledFault(EXCEPTION_POINTERS *exception)
{
    char line[64];
    std::snprintf(line, sizeof line, "crash %08lX at %p", (unsigned long)exception->ExceptionRecord->ExceptionCode,
                  exception->ExceptionRecord->ExceptionAddress);
    event(line);
    std::fprintf(stderr, "pixelvane-host: %s\n", line);
    writeResults();
    ExitProcess(EXIT_CRASHED);
}

static VOID WINAPI hookExitProcess(UINT status) { pluginEndedProcess(status); }
static void __cdecl hookExit(int status) { pluginEndedProcess((unsigned)status); }

static void patchPluginImports(HMODULE module)
{
    patchImport(module, "SetTimer", (void *)hookSetTimer);
    patchImport(module, "KillTimer", (void *)hookKillTimer);
    patchImport(module, "ShellExecuteA", (void *)hookShellExecuteA);
    patchImport(module, "DialogBoxParamA", (void *)hookDialogBoxParamA);
    patchImport(module, "ExitProcess", (void *)hookExitProcess);
    patchImport(module, "exit", (void *)hookExit);
    patchImport(module, "_exit", (void *)hookExit);
}

// ---- the player's main window ----

static LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_USER: {
        auto answer = host.answers.find({(long long)lParam, (long long)wParam});
        return answer == host.answers.end() ? 0 : (LRESULT)answer->second;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == PLAY_COMMAND) {
            event("command " + std::to_string(LOWORD(wParam)));
            if (host.havePlayTitle)
                SetWindowTextW(window, host.playTitle.c_str());
        }
        return 0;
    case WM_TIMER:
        host.timerMessages++;
        event("received timer " + std::to_string((unsigned long long)wParam) + " " +
              std::to_string((long long)lParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Another module subclassing the main window, as a second plug-in would.
static WNDPROC otherModuleSavedProc;
static LRESULT CALLBACK otherModuleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(otherModuleSavedProc, window, message, wParam, lParam);
}

static void createMainWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = hostWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = HOST_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    host.window = CreateWindowExW(0, HOST_WINDOW_CLASS, L"Winamp 2.91", WS_OVERLAPPEDWINDOW, 0, 0, 275, 116,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (host.window == nullptr)
        fail(nullptr, "cannot create the main window");
}

static void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

static void deliverTimer(WPARAM id)
{
    if (!IsWindow(host.window))
        return;
    PostMessageW(host.window, WM_TIMER, id, 0);
    pumpMessages();
}

// ---- steps ----

static std::string scenarioPath(const std::string &relative)
{
    if (relative.size() > 1 && (relative[1] == ':' || relative[0] == '\\' || relative[0] == '/'))
        return relative;
    return host.scenarioFolder + "\\" + relative;
}

static long long number(const Step &step, size_t index)
{
    long long value;
    if (index >= step.words.size() || !parseNumber(step.words[index], &value))
        fail(&step, "expected a number");
    return value;
}

// Absolute paths in the extended form, so that a plug-in folder longer
// than MAX_PATH can still be created and filled.
static std::wstring longPath(const std::string &path)
{
    if (path.size() > 2 && path[1] == ':')
        return L"\\\\?\\" + widen(path);
    return widen(path);
}

static void copyFileTo(const Step *step, const std::string &source, const std::string &target)
{
    if (!CopyFileW(longPath(source).c_str(), longPath(target).c_str(), FALSE))
        fail(step, "cannot copy " + source + " to " + target);
}

// A file of the plug-in folder, by name.
static std::string pluginFolderFile(const std::string &name)
{
    return host.pluginsDir + "\\" + name;
}

static void copyInto(const Step *step, const std::string &source, const std::string &name)
{
    copyFileTo(step, source, pluginFolderFile(name));
}

static void startPlugin(const Step &step)
{
    if (host.plugin)
        fail(&step, "the plug-in is already started");
    if (!host.driverOff) {
        // In the search path the plug-in finds the driver only by its name.
        std::string driverPath = (host.driverInSearchPath ? host.outDir : host.pluginsDir) + "\\" + DRIVER_DLL;
        copyFileTo(&step, host.driverSource, driverPath);
        host.driver = LoadLibraryW(widen(driverPath).c_str());
        SimControlFunction control =
            host.driver ? (SimControlFunction)(void *)GetProcAddress(host.driver, SIM_CONTROL_EXPORT) : nullptr;
        if (control == nullptr)
            fail(&step, "cannot load the port-driver stand-in " + driverPath);
        host.sim = control();
        host.sim->configure(host.base, host.control);
    }
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

static void requirePlugin(const Step &step)
{
    if (host.record == nullptr || host.unloaded)
        fail(&step, "the plug-in is not started");
}

static void quitPlugin(const Step &step)
{
    requirePlugin(step);
    host.record->quitProc();
    if (IsWindow(host.window)) {
        bool restored = (WNDPROC)GetWindowLongPtrW(host.window, GWLP_WNDPROC) == host.procBeforePlugin;
        event(restored ? "wndproc restored" : "wndproc left");
    }
}

static void unloadPlugin(const Step &step)
{
    if (host.plugin == nullptr)
        fail(&step, "the plug-in is not loaded");
    FreeLibrary(host.plugin);
    host.unloaded = true;
    event("unload");
    // Whatever the window still calls must not lead into the freed module.
    if (IsWindow(host.window)) {
        deliverTimer(1);
        deliverTimer(2);
        SendMessageW(host.window, WM_USER, 0, 104);
        SendMessageW(host.window, WM_NULL, 0, 0);
        SetWindowTextW(host.window, L"Winamp");
        pumpMessages();
    }
    event("messages after unload delivered");
}

static BOOL CALLBACK findVisibleDialog(HWND window, LPARAM found)
{
    wchar_t className[16];
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND openDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findVisibleDialog, (LPARAM)&found);
    return found;
}

static void clickControl(const Step &step)
{
    HWND dialog = openDialog();
    if (dialog == nullptr)
        fail(&step, "no dialog is open");
    HWND control = GetDlgItem(dialog, (int)number(step, 0));
    if (control == nullptr)
        fail(&step, "the dialog has no control " + step.words[0]);
    SendMessageW(control, BM_CLICK, 0, 0);
}

static void closeDialog(const Step &step)
{
    HWND dialog = openDialog();
    if (dialog == nullptr)
        fail(&step, "no dialog is open");
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

static BOOL CALLBACK logButtonState(HWND control, LPARAM)
{
    wchar_t className[16];
    GetClassNameW(control, className, 16);
    LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    bool checkable = style == BS_AUTOCHECKBOX || style == BS_CHECKBOX || style == BS_AUTORADIOBUTTON ||
                     style == BS_RADIOBUTTON;
    if (lstrcmpiW(className, L"Button") == 0 && checkable) {
        LRESULT state = SendMessageW(control, BM_GETCHECK, 0, 0);
        event("button " + std::to_string(GetDlgCtrlID(control)) + " " + std::to_string((long long)state));
    }
    return TRUE;
}

// Logs the state of every check box and radio button of the open dialog.
static void inspectDialog(const Step &step)
{
    HWND dialog = openDialog();
    if (dialog == nullptr)
        fail(&step, "no dialog is open");
    EnumChildWindows(dialog, logButtonState, 0);
}

static void snapshot(const Step &step)
{
    std::string stem = host.outDir + "\\" + step.words[0];
    PanelImage image;
    renderPanel(emulator().lcd, &image);
    if (!writeSnapshot(emulator(), stem) || !writePng(image, stem + ".png"))
        fail(&step, "cannot write the snapshot");
}

// "counts LABEL": the running totals of port accesses and latched bytes
// since start, so a scenario can tell what each of its steps cost on the
// port (the difference between two counts lines).
static void logCounts(const Step &step)
{
    event("counts " + step.words[0] + " accesses " + std::to_string((unsigned long long)emulator().accessCount) +
          " transfers " + std::to_string((unsigned long long)emulator().transfers.size()));
}

static void runConfig(const Step &step);
static void usePluginFolder(const Step &step);

static void runStep(const Step &step)
{
    const std::string &verb = step.verb;
    if (verb == "start")
        mark("start " + std::to_string(host.base) + " " + std::to_string(host.control));
    else if (verb != "tick")
        mark(verb);
    if (verb == "lpt") {
        host.base = (unsigned short)number(step, 0);
        if (host.sim)
            fail(&step, "lpt must come before start");
    } else if (verb == "control") {
        host.control = (unsigned char)number(step, 0);
        if (host.sim)
            fail(&step, "control must come before start");
    } else if (verb == "driver") {
        if (step.words[0] == "off")
            host.driverOff = true;
        else if (step.words[0] == "search")
            host.driverInSearchPath = true;
        else
            fail(&step, "expected 'driver off' or 'driver search'");
    } else if (verb == "folder") {
        usePluginFolder(step);
    } else if (verb == "mkdir") {
        std::string path = pluginFolderFile(step.words[0]);
        if (!CreateDirectoryW(longPath(path).c_str(), nullptr))
            fail(&step, "cannot create " + path);
    } else if (verb == "lock") {
        // As another program holding the file open without sharing would:
        // nobody else can open it until the scenario ends.
        std::string path = pluginFolderFile(step.words[0]);
        HANDLE file = CreateFileW(longPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            fail(&step, "cannot lock " + path);
        event("locked " + step.words[0]);
    } else if (verb == "install") {
        copyInto(&step, scenarioPath(step.words[1]), step.words[0]);
    } else if (verb == "remove") {
        std::string path = pluginFolderFile(step.words[0]);
        if (!DeleteFileW(longPath(path).c_str()) && !RemoveDirectoryW(longPath(path).c_str()))
            fail(&step, "cannot remove " + path);
    } else if (verb == "title") {
        SetWindowTextW(host.window, widen(step.text).c_str());
    } else if (verb == "play-title") {
        host.playTitle = widen(step.text);
        host.havePlayTitle = true;
    } else if (verb == "answer") {
        long long code = number(step, 0);
        long long wParam = step.words.size() == 3 ? number(step, 1) : 0;
        host.answers[{code, wParam}] = number(step, step.words.size() - 1);
    } else if (verb == "start") {
        startPlugin(step);
    } else if (verb == "tick") {
        long long count = step.words.empty() ? 1 : number(step, 0);
        for (long long i = 0; i < count; i++) {
            mark("tick");
            deliverTimer(1);
        }
    } else if (verb == "timer") {
        deliverTimer((WPARAM)number(step, 0));
    } else if (verb == "config") {
        runConfig(step);
    } else if (verb == "click") {
        clickControl(step);
    } else if (verb == "close") {
        closeDialog(step);
    } else if (verb == "end") {
        if (openDialog() != nullptr)
            fail(&step, "the dialog is still open");
    } else if (verb == "quit") {
        quitPlugin(step);
    } else if (verb == "unload") {
        unloadPlugin(step);
    } else if (verb == "snapshot") {
        snapshot(step);
    } else if (verb == "counts") {
        logCounts(step);
    } else if (verb == "subclass") {
        otherModuleSavedProc = (WNDPROC)SetWindowLongPtrW(host.window, GWLP_WNDPROC, (LONG_PTR)otherModuleProc);
        event("subclassed by another module");
    } else if (verb == "inspect") {
        inspectDialog(step);
    } else if (verb == "destroy-window") {
        DestroyWindow(host.window);
        event("window destroyed");
    }
}

// While the dialog's modal loop runs, this thread timer performs the steps
// up to "end" from inside it, one step per call.
static void CALLBACK configStepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (host.stepRunning || host.next >= host.steps.size())
        return;
    const Step &step = host.steps[host.next];
    if (step.verb == "end") {
        if (++host.endWaits > CONFIG_END_PATIENCE)
            fail(&step, "the dialog is still open at end");
        return;
    }
    if (step.verb == "config" || step.verb == "start" || step.verb == "unload")
        fail(&step, "not allowed while the dialog is open");
    host.stepRunning = true;
    host.next++;
    runStep(step);
    host.stepRunning = false;
}

static void runConfig(const Step &step)
{
    requirePlugin(step);
    if (host.inConfig)
        fail(&step, "the dialog is already open");
    host.inConfig = true;
    host.endWaits = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, CONFIG_STEP_PERIOD_MS, configStepTimer);
    host.record->configProc();
    KillTimer(nullptr, timer);
    host.inConfig = false;
    // Steps the dialog's loop did not reach before it ended run now; "end"
    // then checks that no dialog is left open.
}

static bool readFile(const std::string &path, std::string *text)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text->append(buffer, count);
    std::fclose(file);
    return true;
}

static std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

static void copyPluginFiles()
{
    CreateDirectoryW(longPath(host.pluginsDir).c_str(), nullptr);
    std::string pattern = host.pluginFilesDir + "\\*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        fail(nullptr, "cannot read " + host.pluginFilesDir);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            copyInto(nullptr, host.pluginFilesDir + "\\" + found.cFileName, found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Moves the plug-in folder down to a subfolder PATH of it (components
// separated by '/' or '\\'), holding the same files; later steps and the
// plug-in use the new folder.
static void usePluginFolder(const Step &step)
{
    if (host.plugin)
        fail(&step, "folder must come before start");
    std::string path = host.pluginsDir;
    std::string component;
    std::string relative = step.words[0] + "/";
    for (char c : relative) {
        if (c != '/' && c != '\\') {
            component += c;
            continue;
        }
        if (component.empty())
            continue;
        path += "\\" + component;
        component.clear();
        if (!CreateDirectoryW(longPath(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            fail(&step, "cannot create " + path);
    }
    host.pluginsDir = path;
    copyPluginFiles();
    event("plug-in folder " + std::to_string(path.size()) + " characters");
}

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: pixelvane-host.exe SCENARIO OUTDIR PLUGIN_FILES_DIR DRIVER_DLL\n");
        return EXIT_USAGE;
    }
    std::string scenarioText;
    if (!readFile(argv[1], &scenarioText)) {
        std::fprintf(stderr, "pixelvane-host: cannot read the scenario %s\n", argv[1]);
        return EXIT_USAGE;
    }
    std::string error;
    if (!parseScenario(scenarioText, &host.steps, &error)) {
        std::fprintf(stderr, "pixelvane-host: %s: %s\n", argv[1], error.c_str());
        return EXIT_USAGE;
    }
    host.scenarioFolder = folderOf(argv[1]);
    host.outDir = argv[2];
    host.pluginsDir = host.outDir + "\\plugins";
    host.pluginFilesDir = argv[3];
    host.driverSource = argv[4];
    CreateDirectoryA(host.outDir.c_str(), nullptr);
    host.events = std::fopen((host.outDir + "\\events.txt").c_str(), "w");
    host.timeline = std::fopen((host.outDir + "\\timeline.txt").c_str(), "w");
    if (host.events == nullptr) {
        std::fprintf(stderr, "pixelvane-host: cannot write to %s\n", host.outDir.c_str());
        return EXIT_USAGE;
    }
    // No stray inpout32.dll in the current folder may reach the plug-in.
    SetCurrentDirectoryA(host.outDir.c_str());
    emulatorReset(&noEmulator);
    SetUnhandledExceptionFilter(unhandledFault);
    copyPluginFiles();
    createMainWindow();

    while (host.next < host.steps.size()) {
        const Step &step = host.steps[host.next++];
        runStep(step);
    }
    pumpMessages();
    writeResults();
    return EXIT_OK;
}
