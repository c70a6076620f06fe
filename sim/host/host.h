// The host simulator's shared state and the helpers every group of steps
// uses. One Host lives for the run; its files are split by what the steps
// touch: the main window, the plug-in's calls, the dialog, the plug-in
// folder, and the scenario loop with its results (host.cpp).
#pragma once

#include "emulator.h"
#include "scenario.h"
#include "emulator_control.h"

#include <windows.h>

#include <cstdio>
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

extern const char PLUGIN_DLL[];
extern const char DRIVER_DLL[];

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
    const EmulatorControl *sim = nullptr;
    HostPluginRecord *record = nullptr;
    std::map<std::pair<long long, long long>, long long> answers;
    std::wstring title; // as the host last set it
    std::wstring playTitle;
    bool havePlayTitle = false;
    bool watchWindow = false;
    // "modal-loop": the host answers the play command or a tick with a
    // modal loop of its own that pumps modalTimers timer messages.
    bool modalOnPlay = false;
    bool modalOnTick = false;
    int modalTimers = 0;
    bool modalQuits = false; // the host shuts the plug-in down from its loop
    bool inModalLoop = false;
    // "driver": none at all, only in the (simulated) system folder, or only
    // in the current folder and on PATH, where the plug-in must not look.
    bool driverOff = false;
    bool driverInSystemFolder = false;
    bool driverElsewhere = false;
    std::string systemDriverPath; // the copy served for the system folder's
    // Parallel and serial ports the system lists besides the emulated card
    // (LPT1 at base): "listed-port NAME BASE".
    std::vector<std::pair<std::string, unsigned>> listedPorts;
    bool faultDuringProbe = false;
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
    // From the command line: "KEY=VALUE" lines put into the plug-in
    // folder's plugin.ini (section Pixelvane) just before start, and the
    // name of a snapshot written when the run ends.
    std::vector<std::string> addedSettings;
    std::string endSnapshot;
};

extern Host host;

// events.txt: one line of what the host saw.
void event(const std::string &line);
// timeline.txt: the port accesses made so far, as a step begins.
void mark(const std::string &what);
// The emulator behind the driver the plug-in uses (an idle one without).
const Emulator &emulator();
// Writes the logs (and the end snapshot) once; later calls do nothing.
void writeResults();
[[noreturn]] void fail(const Step *step, const std::string &message);

std::wstring widen(const std::string &text);
// A path of the scenario, relative to the scenario's folder.
std::string scenarioPath(const std::string &relative);
// Word `index` of the step as a number; fails the step otherwise.
long long number(const Step &step, size_t index);

// The main window (host_window.cpp).
void createMainWindow();
void setMainWindowTitle(const std::wstring &title);
// After each step once "watch-window" has run: whether the main window is
// still Unicode and its title reads back as the host set it.
void logMainWindowState();
// Dispatches what is queued (the plug-in's thread-timer messages only
// during a wait, see timer_steps.cpp).
void pumpMessages();
void deliverTimer(WPARAM id);
void subclassMainWindow();
void chooseModalLoop(const Step &step);

// The plug-in's life and the calls it makes into Windows (plugin_calls.cpp).
void startPlugin(const Step &step);
void requirePlugin(const Step &step);
void quitPlugin(const Step &step);
// quitProc, then whether the host's own window procedure is back.
void callQuit();
void unloadPlugin(const Step &step);
// quitProc and FreeLibrary, as the main window's WM_CLOSE handler.
void quitAndFreeOnClose();
// Any port driver in the process that the plug-in loaded by itself.
void adoptDriverFoundByPlugin();

// What the host plays of the system for the plug-in (system_calls.cpp):
// the DLLs it loads, the parallel ports the system lists, and a fault of
// another thread while the port probe's handler is in place.
void patchSystemCalls(HMODULE plugin);
void listPort(const Step &step);
// The host's stand-in for a SetupAPI, configuration-manager or registry
// function the plug-in looks up by name, or nullptr (system_ports.cpp).
void *fakePortFunction(const char *name);
// A path with the plug-in folder and the system folder shown as
// "<plug-in folder>" and "<system folder>".
std::string shownPath(const std::string &path);
// "driver loaded from PATH" for each time the stand-in was mapped.
void logDriverMarks();
extern const char DRIVER_MARKS_VARIABLE[];

// The plug-in's timers and "wait MS" (timer_steps.cpp).
void patchTimerCalls(HMODULE plugin);
void runWait(const Step &step);
// A message of the plug-in's thread timers outside a wait, which the host's
// own pumps drop.
bool heldBackOutsideWait(const MSG &message);
// During "wait": a "timer-proc AT" line in the timeline for a message of the
// plug-in's thread timer, AT the wait clock in ms.
void markPluginThreadTimer(const MSG &message);
// One of the plug-in's thread timers, as Windows numbered it.
bool isPluginThreadTimer(UINT_PTR id);

// The host's thread time in the plug-in's timer messages, and the step
// "dispatch-times LABEL" that logs it (dispatch_times.cpp).
void startDispatchTimes();
// DispatchMessageW, timed when it is a timer message for the plug-in.
void dispatchTimed(const MSG &message);
// A window timer's own procedure, called as Windows would, timed.
void callWindowTimerProcedureTimed(TIMERPROC procedure, HWND window, UINT_PTR id);
// Around the host's own handling of a timer message: taken out of the time
// of the dispatch it runs in.
void hostOwnTimeBegin();
void hostOwnTimeEnd();
// The plug-in's SetEvent on the host's thread took this many
// performance-counter ticks (a call to the Wine server under Wine).
void noteSetEventTime(long long ticks);
void logDispatchTimes(const Step &step);

// "clock YYYY-MM-DD HH:MM" and the plug-in's GetLocalTime (clock_step.cpp).
void startClock();
void patchClockCalls(HMODULE plugin);
void setClock(const Step &step);

// The settings dialog (dialog_steps.cpp).
void runConfig(const Step &step);
void clickControl(const Step &step);
void closeDialog(const Step &step);
void inspectDialog(const Step &step);
void focusControl(const Step &step);
void pressKey(const Step &step);
HWND openDialog();

// The plug-in folder (plugin_folder.cpp).
std::wstring longPath(const std::string &path);
std::string pluginFolderFile(const std::string &name);
void copyFileTo(const Step *step, const std::string &source, const std::string &target);
void copyInto(const Step *step, const std::string &source, const std::string &name);
void copyPluginFiles();
void usePluginFolder(const Step &step);
void makeFolder(const Step &step);
void lockFile(const Step &step);
void removeFile(const Step &step);
void addSettings(const Step &step);
bool readFile(const std::string &path, std::string *text);

// The scenario loop (host.cpp).
void runStep(const Step &step);

// The player's queries for visualisation data, levels, the playing file and
// its tags (host_ipc.cpp): their answers as the steps scripted them, and
// ipc.txt, the log of each query.
void openIpcLog();
void closeIpcLog();
// False for a code it does not answer.
bool answerPlayerIpc(WPARAM wParam, LPARAM code, LRESULT *answer);
bool isPlayerIpcCode(long long code);
// The spectrum, vu, no-visual, file and tag steps; false for any other step.
bool runIpcStep(const Step &step);
void logIpcCounts(const std::string &label);

// The virtual panel as the port driver (panel_steps.cpp).
void setPanelSource(const std::string &path);
bool choosePanelDriver(const std::string &word);
bool panelDriverChosen();
void startPanelDriver(const Step &step);
// The panel-... steps; false for any other step.
bool runPanelStep(const Step &step);
// With "driver panel-mirror", the panel's model of the module is power
// cycled with the module.
void resetMirroredPanelModule();
void writePanelResults();
