// pixelvane-host: plays the media player's part for the plug-in, under
// Wine, driven by a scenario file.
//
//   pixelvane-host.exe SCENARIO OUTDIR PLUGIN_FILES_DIR DRIVER_DLL PANEL_DLL [OPTIONS]
//
// PLUGIN_FILES_DIR holds gen_pixelvane.dll and the pictures that a user
// installs beside it; DRIVER_DLL is the inpout32.dll stand-in. Both are
// copied into OUTDIR\plugins, a fresh plug-in folder. PANEL_DLL is
// pixelvane-panel.dll, for the scenarios that choose "driver panel". The
// plug-in's window timers are logged and tick only during "wait MS"; the
// scenario's tick steps deliver timer messages of their own
// (timer_steps.cpp). The step "counts LABEL" logs the running totals of
// port accesses and latched bytes as "counts LABEL accesses N transfers
// M", for measuring what steps cost; "dispatch-times LABEL" logs the time
// the plug-in's timer messages took on the host's thread since the last
// such step (dispatch_times.cpp).
//
// The player's queries for visualisation data, levels, the playing file
// and its tags answer 0 until "spectrum V1 ... Vn", "spectrum-null", "vu
// LEFT RIGHT", "no-visual", "file PATH", "file-unterminated", "tag NAME
// [VALUE...]", "tag-unterminated NAME VALUE" or "tag-long NAME N" scripts
// them; each query is a line of ipc.txt (host_ipc.cpp says what each step
// answers and how the log reads).
//
// Every step begins once the plug-in's own threads, if it has any, have
// sent what earlier steps handed them, as the time between a player's
// ticks would let them; the steps that read or change the module keep the
// threads away from the port until they are done (plugin_threads.cpp).
//
// Options after the five arguments: "--setting KEY=VALUE" puts the key
// into the plug-in folder's plugin.ini just before start (kept with what
// the scenario installed there), as a user editing the file would;
// "--end-snapshot NAME" writes the snapshot NAME when the run ends, however
// it ends.
#include "host.h"
#include "plugin_threads.h"

#include <cstdlib>

const char PLUGIN_DLL[] = "gen_pixelvane.dll";
const char DRIVER_DLL[] = "inpout32.dll";

Host host;
static Emulator noEmulator; // stands in when no driver was loaded

std::wstring widen(const std::string &text)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    return wide;
}

void event(const std::string &line)
{
    if (host.events) {
        std::fputs(line.c_str(), host.events);
        std::fputc('\n', host.events);
        std::fflush(host.events);
    }
}

const Emulator &emulator()
{
    return host.sim ? *host.sim->emulator() : noEmulator;
}

// timeline.txt: "ACCESSES WHAT" for each step as it begins, where ACCESSES
// is the number of port accesses made so far. Replaying ports.txt against
// it puts every access in its step (each timer message gets its own line).
// A step begins with the plug-in's threads idle; the later ticks of
// "tick N" and the timer messages of a wait may come while one sends, and
// their counts are then only near.
void mark(const std::string &what)
{
    if (host.timeline) {
        std::fprintf(host.timeline, "%llu %s\n", (unsigned long long)emulator().accessCount, what.c_str());
        std::fflush(host.timeline);
    }
}

void writeResults()
{
    if (host.finished)
        return;
    host.finished = true;
    quietPluginThreads();
    adoptDriverFoundByPlugin();
    logDriverMarks();
    if (!host.endSnapshot.empty())
        writeSnapshot(emulator(), host.outDir + "\\" + host.endSnapshot);
    for (const std::string &fault : emulator().faults)
        event("fault " + fault);
    writePanelResults();
    writeTransfers(emulator(), host.outDir + "\\transfers.txt");
    writePortAccesses(emulator(), host.outDir + "\\ports.txt");
    if (host.events)
        std::fclose(host.events);
    host.events = nullptr;
    if (host.timeline)
        std::fclose(host.timeline);
    host.timeline = nullptr;
    closeIpcLog();
}

void fail(const Step *step, const std::string &message)
{
    if (step)
        std::fprintf(stderr, "pixelvane-host: line %d (%s): %s\n", step->line, step->verb.c_str(), message.c_str());
    else
        std::fprintf(stderr, "pixelvane-host: %s\n", message.c_str());
    writeResults();
    ExitProcess(EXIT_STEP_FAILED);
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

// Scenarios may separate folders with '/'; the extended paths the plug-in
// folder's copies use (longPath) take only '\\'.
std::string scenarioPath(const std::string &relative)
{
    std::string path = relative;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    if (path.size() > 1 && (path[1] == ':' || path[0] == '\\'))
        return path;
    return host.scenarioFolder + "\\" + path;
}

long long number(const Step &step, size_t index)
{
    long long value;
    if (index >= step.words.size() || !parseNumber(step.words[index], &value))
        fail(&step, "expected a number");
    return value;
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
// port (the difference between two counts lines); ipc.txt gets the calls of
// the player's data and level functions under the same label.
static void logCounts(const Step &step)
{
    event("counts " + step.words[0] + " accesses " + std::to_string((unsigned long long)emulator().accessCount) +
          " transfers " + std::to_string((unsigned long long)emulator().transfers.size()));
    logIpcCounts(step.words[0]);
}

// "module-reset": the module's power cycled. The card is another board: its
// latch (and the logs) stay. Without a driver no byte ever reached a module,
// which is then as at power-on anyway.
static void resetModule(const Step &step)
{
    if (host.plugin == nullptr)
        fail(&step, "module-reset must come after start");
    adoptDriverFoundByPlugin();
    if (host.sim)
        host.sim->resetModule();
    resetMirroredPanelModule();
    event("module reset");
}

static void chooseDriver(const Step &step)
{
    if (host.plugin)
        fail(&step, "driver must come before start");
    if (step.words[0] == "off")
        host.driverOff = true;
    else if (step.words[0] == "system")
        host.driverInSystemFolder = true;
    else if (step.words[0] == "elsewhere")
        host.driverElsewhere = true;
    else if (!choosePanelDriver(step.words[0]))
        fail(&step, "expected 'driver off', 'driver system', 'driver elsewhere', 'driver panel' or 'driver panel-mirror'");
}

static void tick(const Step &step)
{
    long long count = step.words.empty() ? 1 : number(step, 0);
    for (long long i = 0; i < count; i++) {
        mark("tick");
        deliverTimer(1);
    }
}

static void setAnswer(const Step &step)
{
    long long code = number(step, 0);
    if (isPlayerIpcCode(code))
        fail(&step, "the spectrum, vu, file and tag steps answer code " + std::to_string(code));
    long long wParam = step.words.size() == 3 ? number(step, 1) : 0;
    host.answers[{code, wParam}] = number(step, step.words.size() - 1);
}

// The steps that read or change the module's state: the plug-in's threads
// stay away from the port while they run.
static bool touchesModule(const std::string &verb)
{
    static const char *const VERBS[] = {"snapshot",        "counts",     "module-reset", "panel-paint",
                                        "panel-clipboard", "panel-save", "panel-stats",  "panel-free"};
    for (const char *touching : VERBS)
        if (verb == touching)
            return true;
    return false;
}

void runStep(const Step &step)
{
    const std::string &verb = step.verb;
    if (!holdPluginThreads(PLUGIN_THREAD_PATIENCE_MS))
        fail(&step, "the plug-in's own thread did not go back to waiting within " +
                        std::to_string(PLUGIN_THREAD_PATIENCE_MS / 1000) +
                        " s: what was drawn before this step may not all have been sent");
    if (verb == "start")
        mark("start " + std::to_string(host.base) + " " + std::to_string(host.control));
    else if (verb != "tick")
        mark(verb);
    bool touching = touchesModule(verb);
    if (!touching)
        releasePluginThreads();
    if (verb == "lpt") {
        host.base = (unsigned short)number(step, 0);
        if (host.sim)
            fail(&step, "lpt must come before start");
    } else if (verb == "control") {
        host.control = (unsigned char)number(step, 0);
        if (host.sim)
            fail(&step, "control must come before start");
    } else if (verb == "driver") {
        chooseDriver(step);
    } else if (verb == "folder") {
        usePluginFolder(step);
    } else if (verb == "mkdir") {
        makeFolder(step);
    } else if (verb == "lock") {
        lockFile(step);
    } else if (verb == "install") {
        copyInto(&step, scenarioPath(step.words[1]), step.words[0]);
    } else if (verb == "remove") {
        removeFile(step);
    } else if (verb == "title") {
        setMainWindowTitle(widen(step.text));
    } else if (verb == "play-title") {
        host.playTitle = widen(step.text);
        host.havePlayTitle = true;
    } else if (verb == "answer") {
        setAnswer(step);
    } else if (verb == "start") {
        startPlugin(step);
    } else if (verb == "tick") {
        tick(step);
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
    } else if (verb == "dispatch-times") {
        logDispatchTimes(step);
    } else if (verb == "subclass") {
        subclassMainWindow();
    } else if (verb == "inspect") {
        inspectDialog(step);
    } else if (verb == "destroy-window") {
        DestroyWindow(host.window);
        event("window destroyed");
    } else if (verb == "focus") {
        focusControl(step);
    } else if (verb == "key") {
        pressKey(step);
    } else if (verb == "listed-port") {
        listPort(step);
    } else if (verb == "fault-during-probe") {
        host.faultDuringProbe = true;
    } else if (verb == "modal-loop") {
        chooseModalLoop(step);
    } else if (verb == "close-window") {
        SendMessageW(host.window, WM_CLOSE, 0, 0);
    } else if (verb == "watch-window") {
        host.watchWindow = true;
    } else if (verb == "wait") {
        runWait(step);
    } else if (verb == "module-reset") {
        resetModule(step);
    } else if (verb == "clock") {
        setClock(step);
    } else if (!runIpcStep(step)) {
        runPanelStep(step);
    }
    if (touching)
        releasePluginThreads();
    logMainWindowState();
}

static std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

static bool readOptions(int argc, char **argv)
{
    for (int i = 6; i < argc; i += 2) {
        std::string option = argv[i];
        if (i + 1 >= argc)
            return false;
        if (option == "--setting")
            host.addedSettings.push_back(argv[i + 1]);
        else if (option == "--end-snapshot")
            host.endSnapshot = argv[i + 1];
        else
            return false;
    }
    return true;
}

int main(int argc, char **argv)
{
    startThreadWatch();
    startClock();
    startDispatchTimes();
    if (argc < 6 || !readOptions(argc, argv)) {
        std::fprintf(stderr, "usage: pixelvane-host.exe SCENARIO OUTDIR PLUGIN_FILES_DIR DRIVER_DLL PANEL_DLL"
                             " [--setting KEY=VALUE]... [--end-snapshot NAME]\n");
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
    setPanelSource(argv[5]);
    CreateDirectoryA(host.outDir.c_str(), nullptr);
    host.events = std::fopen((host.outDir + "\\events.txt").c_str(), "w");
    host.timeline = std::fopen((host.outDir + "\\timeline.txt").c_str(), "w");
    openIpcLog();
    if (host.events == nullptr) {
        std::fprintf(stderr, "pixelvane-host: cannot write to %s\n", host.outDir.c_str());
        return EXIT_USAGE;
    }
    // Only "driver elsewhere" puts an inpout32.dll in the current folder.
    SetCurrentDirectoryA(host.outDir.c_str());
    SetEnvironmentVariableA(DRIVER_MARKS_VARIABLE, (host.outDir + "\\driver-marks.txt").c_str());
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
