// The virtual panel in the host simulator. "driver panel" puts
// pixelvane-panel.dll into the plug-in folder as the port driver in place
// of the stand-in; "driver panel-mirror" puts the stand-in there as well,
// as the real inpout32.dll the panel mirrors every access to. The other
// steps look at the panel's window from outside, as Windows would:
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
//   panel-stats LABEL   paints so far and the time, for measuring the repaint rate
//   panel-free          after unload: the host frees the DLL (its own
//                       reference and the one the unloaded plug-in took
//                       when it first used the panel)
//   panel-end           the window closes for good; its thread ends
#include "host.h"
#include "panel_control.h"
#include "panel_layout.h"
#include "panel_picture.h"

#include <cstring>

static const char PANEL_DLL[] = "pixelvane-panel.dll";

enum PanelMode { NO_PANEL, PANEL_ALONE, PANEL_MIRRORED };
enum { WINDOW_PATIENCE_MS = 5000, POLL_MS = 10, STATUS_CHARACTERS = 512 };
static const uint32_t UNPAINTED = 0x00FF00FF;

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
static const EmulatorControl keptControl = {keptConfigure, keptState, keptLogging, keptClear};
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

static std::string narrow(const wchar_t *text)
{
    std::string result;
    for (; *text; text++)
        result += *text < 0x80 ? (char)*text : '?';
    return result;
}

static HWND requireWindow(const Step &step)
{
    if (panelWindow == nullptr && panel != nullptr)
        panelWindow = panel->window(WINDOW_PATIENCE_MS);
    if (panelWindow == nullptr || !IsWindow(panelWindow))
        fail(&step, "the panel has no window");
    return panelWindow;
}

// The client area as the window paints it, 0x00RRGGBB, top row first.
static std::vector<uint32_t> paintedClientArea(HWND window, int width, int height)
{
    std::vector<uint32_t> pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr)
        return pixels;
    uint32_t *first = (uint32_t *)bits;
    std::fill(first, first + (size_t)width * height, UNPAINTED);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ before = SelectObject(dc, section);
    SendMessageW(window, WM_PRINTCLIENT, (WPARAM)dc, PRF_CLIENT);
    GdiFlush();
    pixels.assign(first, first + (size_t)width * height);
    SelectObject(dc, before);
    DeleteDC(dc);
    DeleteObject(section);
    for (uint32_t &pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

// Pixels of `pixels` (width wide) at `left`, `top` that differ from the
// emulator's panel image at `scale`.
static long differingPixels(const std::vector<uint32_t> &pixels, int width, int left, int top, int scale)
{
    PanelImage image;
    renderPanel(emulator().lcd, &image);
    long differing = 0;
    int height = (int)(pixels.size() / width);
    for (int y = 0; y < SIM_PANEL_HEIGHT * scale; y++) {
        for (int x = 0; x < SIM_PANEL_WIDTH * scale; x++) {
            uint32_t expected = panelPixelColour(panelShade(image, x, y, scale));
            bool inside = left + x < width && top + y < height;
            if (!inside || pixels[(size_t)(top + y) * width + left + x] != expected)
                differing++;
        }
    }
    return differing;
}

static void writePainted(const Step &step, const std::vector<uint32_t> &pixels, int width, int height)
{
    std::vector<uint8_t> rgb;
    rgb.reserve(pixels.size() * 3);
    for (uint32_t pixel : pixels) {
        rgb.push_back((uint8_t)(pixel >> 16));
        rgb.push_back((uint8_t)(pixel >> 8));
        rgb.push_back((uint8_t)pixel);
    }
    if (!writeRgbPng(host.outDir + "\\" + step.words[0] + ".window.png", width, height, rgb))
        fail(&step, "cannot write the painted window");
}

static void paintPanel(const Step &step)
{
    HWND window = requireWindow(step);
    RECT client;
    GetClientRect(window, &client);
    if (client.right < 1 || client.bottom < 1)
        fail(&step, "the panel window has no client area");
    std::vector<uint32_t> pixels = paintedClientArea(window, client.right, client.bottom);
    if (pixels.empty())
        fail(&step, "cannot make a DIB section");
    PanelLayout layout = panelLayout(client.right, client.bottom);
    long differing = differingPixels(pixels, client.right, layout.left, layout.top, layout.scale);
    std::string prefix = "panel " + step.words[0];
    event(prefix + " paint " + (differing == 0 ? std::string("same") : "differs " + std::to_string(differing)) +
          " scale " + std::to_string(layout.scale));
    wchar_t text[STATUS_CHARACTERS];
    GetWindowTextW(window, text, STATUS_CHARACTERS);
    event(prefix + " title " + narrow(text));
    text[0] = L'\0';
    SendMessageW(window, PANEL_MESSAGE_STATUS, STATUS_CHARACTERS, (LPARAM)text);
    event(prefix + " status " + narrow(text));
    event(prefix + " visible " + std::to_string(IsWindowVisible(window) ? 1 : 0));
    writePainted(step, pixels, client.right, client.bottom);
}

static void closePanel(const Step &step)
{
    HWND window = requireWindow(step);
    SendMessageW(window, WM_CLOSE, 0, 0);
    event(std::string("panel closed, window ") + (IsWindow(window) ? "kept" : "gone") + ", visible " +
          std::to_string(IsWindowVisible(window) ? 1 : 0));
}

static void menuCommand(const Step &step)
{
    const std::string &item = step.words[0];
    int command;
    if (item == "scale" || item == "pace") {
        if (step.words.size() != 2)
            fail(&step, "expected a number after " + item);
        command = (item == "scale" ? PANEL_COMMAND_SCALE : PANEL_COMMAND_PACE) + (int)number(step, 1);
    } else if (item == "copy") {
        command = PANEL_COMMAND_COPY;
    } else if (item == "hide") {
        command = PANEL_COMMAND_HIDE;
    } else {
        fail(&step, "expected scale N, pace N, copy or hide");
    }
    SendMessageW(requireWindow(step), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    event("panel menu " + step.text);
}

// Waits until the window's thread has handled everything posted to it.
static void waitForWindowQueue(const Step &step, HWND window)
{
    HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PostMessageW(window, PANEL_MESSAGE_SYNC, 0, (LPARAM)reached);
    bool handled = WaitForSingleObject(reached, WINDOW_PATIENCE_MS) == WAIT_OBJECT_0;
    CloseHandle(reached);
    if (!handled)
        fail(&step, "the panel window does not answer");
}

static void pressPanelKey(const Step &step)
{
    HWND window = requireWindow(step);
    const std::string &key = step.words[0];
    if (key.size() != 1)
        fail(&step, "expected one key");
    WPARAM virtualKey = (WPARAM)(unsigned char)toupper((unsigned char)key[0]);
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
    waitForWindowQueue(step, window);
    event("panel key " + key);
}

// The clipboard's CF_DIB against the emulator's panel at the window's scale.
static void checkClipboard(const Step &step)
{
    HWND window = requireWindow(step);
    RECT client;
    GetClientRect(window, &client);
    int scale = panelLayout(client.right, client.bottom).scale;
    if (!OpenClipboard(host.window))
        fail(&step, "cannot open the clipboard");
    HANDLE data = GetClipboardData(CF_DIB);
    const BITMAPINFOHEADER *header = data ? (const BITMAPINFOHEADER *)GlobalLock(data) : nullptr;
    if (header == nullptr) {
        CloseClipboard();
        event("panel clipboard empty");
        return;
    }
    int width = header->biWidth, height = header->biHeight;
    bool shape = header->biBitCount == 24 && header->biCompression == BI_RGB && width == SIM_PANEL_WIDTH * scale &&
                 height == SIM_PANEL_HEIGHT * scale;
    long differing = -1;
    if (shape) {
        const uint8_t *bits = (const uint8_t *)header + header->biSize;
        size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
        std::vector<uint32_t> pixels((size_t)width * height);
        for (int y = 0; y < height; y++) {
            const uint8_t *row = bits + stride * (height - 1 - y);
            for (int x = 0; x < width; x++)
                pixels[(size_t)y * width + x] = (uint32_t)row[x * 3 + 2] << 16 | (uint32_t)row[x * 3 + 1] << 8 |
                                                row[x * 3];
        }
        differing = differingPixels(pixels, width, 0, 0, scale);
    }
    GlobalUnlock(data);
    CloseClipboard();
    if (differing < 0)
        event("panel clipboard shape " + std::to_string(width) + "x" + std::to_string(height));
    else
        event("panel clipboard " + (differing == 0 ? std::string("same") : "differs " + std::to_string(differing)) +
              " " + std::to_string(width) + "x" + std::to_string(height));
}

static void savePanel(const Step &step)
{
    std::wstring path = widen(host.outDir + "\\" + step.words[0] + ".saved.png");
    LRESULT written = SendMessageW(requireWindow(step), PANEL_MESSAGE_SAVE, 0, (LPARAM)path.c_str());
    event("panel save " + step.words[0] + (written ? " written" : " failed"));
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
        panelWindow = panel->window(WINDOW_PATIENCE_MS);
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
    if (panelWindow && SendMessageTimeoutW(panelWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, WINDOW_PATIENCE_MS, &result))
        event("panel window answers");
}

static bool waitFor(bool (*done)())
{
    for (int waited = 0; waited < WINDOW_PATIENCE_MS; waited += POLL_MS) {
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
    HWND window = requireWindow(step);
    PostMessageW(window, PANEL_MESSAGE_END, 0, 0);
    if (!waitFor(windowGone))
        fail(&step, "the panel window did not close");
    bool unmapped = panelModule == nullptr ? waitFor(panelUnmapped) : panelUnmapped();
    event(std::string("panel ended, ") + (unmapped ? "unmapped" : "still mapped"));
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
