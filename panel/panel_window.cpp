// The window's thread: it makes the window, then copies the card at most 60
// times a second while the card changes, renders the copy and repaints.
// Everything here runs on that thread except panelWindowStart (on the
// player's thread, once) and the two queries for the host simulator.
#include "panel_window.h"

#include "pace.h"
#include "panel_control.h"
#include "panel_export.h"
#include "panel_layout.h"
#include "panel_menu.h"
#include "panel_notice.h"
#include "panel_paint.h"
#include "panel_picture.h"

#include <commdlg.h>

#include <atomic>

static const wchar_t WINDOW_CLASS[] = L"PixelvaneVirtualPanel";
static const wchar_t DEFAULT_PNG_NAME[] = L"pixelvane-panel.png";
static const DWORD WINDOW_STYLE = WS_OVERLAPPEDWINDOW;

enum {
    FRAME_TIMER = 1,
    FRAME_TIMER_MS = 10,        // the shortest a window timer gives
    FRAMES_PER_SECOND = 60,
    // Tries for the copy asked of a busy player's thread, which makes it
    // after its next access: well under a millisecond of this thread.
    PUBLISHED_COPY_TRIES = 200,
};

// Set by panelWindowStart before the thread exists; read-only afterwards.
static PanelCard *card;
static bool mirrored;
static int panelWidth, panelHeight; // the module's glass, fixed before the card's first byte
static std::wstring settingsPath;
static HANDLE windowReady;
// Written by the window's thread before windowReady is set.
static std::atomic<HWND> window{nullptr};
static std::atomic<long> paintCount{0};

// The window's thread only.
static PanelSettings settings;
static HMENU menu;
static PanelView view;
static PanelImage image;
static PanelPicture picture;
static std::wstring statusText;
static bool repaintDue;      // a new copy or status line, painted with the next frame
static bool titled;
static uint16_t titledBase;
static LONGLONG counterFrequency, nextFrame, rateStart;
static uint64_t rateAccesses, accessesPerSecond;

static LONGLONG counterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

static std::wstring widen(const std::string &ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

static void updateStatus()
{
    std::string notice = panelNoticeNow();
    PanelStatus status = {view.base,   mirrored,         pacePerAccessUs(), accessesPerSecond, view.bytesLatched,
                          view.faults, view.latestFault, panelKeysRefused(), notice.c_str()};
    std::wstring text = widen(panelStatusLine(status));
    if (text != statusText) {
        statusText = text;
        repaintDue = true;
    }
}

static void updateTitle()
{
    if (titled && view.base == titledBase)
        return;
    SetWindowTextW(window, widen(panelTitle(view.base, mirrored)).c_str());
    titled = true;
    titledBase = view.base;
}

// A newer copy of the card, rendered; false when there is none.
static bool takeCopy()
{
    bool taken = panelCardCopy(card, &view);
    for (int i = 0; !taken && i < PUBLISHED_COPY_TRIES && panelCardChangedSince(*card, view.sequence); i++) {
        SwitchToThread();
        taken = panelCardTakePublished(card, &view);
    }
    if (!taken)
        return false;
    renderPanel(view.lcd, &image);
    panelPictureRender(image, picture.scale, &picture);
    updateTitle();
    updateStatus();
    repaintDue = true;
    return true;
}

static void measureRate(LONGLONG now)
{
    if (now - rateStart < counterFrequency)
        return;
    uint64_t counted = view.accesses >= rateAccesses ? view.accesses - rateAccesses : 0;
    accessesPerSecond = (uint64_t)(counted * (double)counterFrequency / (double)(now - rateStart));
    rateStart = now;
    rateAccesses = view.accesses;
    updateStatus();
}

// Frames, the status line's included, keep to a 1/60 s grid: with a coarse
// timer most ticks draw one, and the grid restarts after the card sat idle,
// so no burst follows.
static void onFrameTimer()
{
    LONGLONG now = counterNow();
    LONGLONG period = counterFrequency / FRAMES_PER_SECOND;
    measureRate(now);
    updateStatus(); // a notice comes and goes at any time
    if (now < nextFrame)
        return;
    if (panelCardChangedSince(*card, view.sequence))
        takeCopy();
    if (!repaintDue)
        return;
    InvalidateRect(window, nullptr, FALSE);
    repaintDue = false;
    nextFrame = nextFrame + period > now ? nextFrame + period : now;
}

static RECT windowRectForScale(int scale)
{
    int width, height;
    panelClientSize(scale, panelWidth, panelHeight, &width, &height);
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, WINDOW_STYLE, TRUE, 0);
    return rect;
}

static void saveSettings()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        settings.havePosition = true;
        settings.left = placement.rcNormalPosition.left;
        settings.top = placement.rcNormalPosition.top;
    }
    settings.scale = picture.scale;
    settings.paceUs = pacePerAccessUs();
    panelSettingsSave(settingsPath, settings);
}

// The window's size follows the scale exactly.
static void fitWindowToScale(int scale)
{
    if (IsZoomed(window) || IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    RECT rect = windowRectForScale(scale);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void onSize(int clientWidth, int clientHeight)
{
    int scale = panelLayout(clientWidth, clientHeight, panelWidth, panelHeight).scale;
    if (scale != picture.scale)
        panelPictureRender(image, scale, &picture);
    panelMenuCheck(menu, picture.scale, pacePerAccessUs());
    InvalidateRect(window, nullptr, FALSE);
}

static void setPace(int paceUs)
{
    paceSet(paceUs);
    panelMenuCheck(menu, picture.scale, pacePerAccessUs());
    updateStatus();
    saveSettings();
}

static bool saveAsPng(const wchar_t *path)
{
    takeCopy();
    return panelSavePng(image, picture.scale, path);
}

static void askAndSave()
{
    wchar_t path[MAX_PATH];
    lstrcpynW(path, DEFAULT_PNG_NAME, MAX_PATH);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = L"PNG pictures (*.png)\0*.png\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (GetSaveFileNameW(&dialog) && !saveAsPng(path))
        MessageBoxW(window, L"The panel could not be saved there.", L"Pixelvane virtual panel",
                    MB_OK | MB_ICONEXCLAMATION);
}

static void onCommand(int command)
{
    if (command > PANEL_COMMAND_SCALE && command <= PANEL_COMMAND_SCALE + PANEL_MAX_SCALE) {
        fitWindowToScale(command - PANEL_COMMAND_SCALE);
        saveSettings();
    } else if (command >= PANEL_COMMAND_PACE && command < PANEL_COMMAND_NEXT_PACE) {
        setPace(command - PANEL_COMMAND_PACE);
    } else if (command == PANEL_COMMAND_NEXT_PACE) {
        setPace(panelNextPace(pacePerAccessUs()));
    } else if (command == PANEL_COMMAND_SAVE) {
        askAndSave();
    } else if (command == PANEL_COMMAND_COPY) {
        takeCopy();
        panelCopyToClipboard(window, image, picture.scale);
    } else if (command == PANEL_COMMAND_HIDE) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

static void paintClientArea(HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    panelPaint(dc, client.right, client.bottom, panelWidth, panelHeight, picture, statusText);
}

// Drawn off-screen first, so a repaint never flickers.
static void onPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ before = SelectObject(memory, bitmap);
    paintClientArea(memory);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, before);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(window, &paint);
    paintCount.fetch_add(1, std::memory_order_relaxed);
}

static LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == FRAME_TIMER)
            onFrameTimer();
        return 0;
    case WM_PAINT:
        onPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PRINTCLIENT:
        takeCopy();
        paintClientArea((HDC)wParam);
        return 0;
    case WM_SIZE:
        onSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        RECT smallest = windowRectForScale(PANEL_MIN_SCALE);
        ((MINMAXINFO *)lParam)->ptMinTrackSize.x = smallest.right - smallest.left;
        ((MINMAXINFO *)lParam)->ptMinTrackSize.y = smallest.bottom - smallest.top;
        return 0;
    }
    case WM_EXITSIZEMOVE:
        if (!IsZoomed(handle))
            fitWindowToScale(picture.scale);
        saveSettings();
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        // Hidden, never destroyed: the player keeps running and the card
        // keeps taking its bytes.
        ShowWindow(handle, SW_HIDE);
        saveSettings();
        return 0;
    case PANEL_MESSAGE_END:
        DestroyWindow(handle);
        return 0;
    case PANEL_MESSAGE_SYNC:
        SetEvent((HANDLE)lParam);
        return 0;
    case PANEL_MESSAGE_STATUS:
        takeCopy();
        updateStatus(); // as of now, a notice given since the last frame included
        lstrcpynW((wchar_t *)lParam, statusText.c_str(), (int)wParam);
        return 0;
    case PANEL_MESSAGE_SAVE:
        return saveAsPng((const wchar_t *)lParam) ? 1 : 0;
    case WM_DESTROY:
        KillTimer(handle, FRAME_TIMER);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(handle, message, wParam, lParam);
    }
}

// A remembered position counts only while some screen still shows it.
static bool onSomeScreen(int left, int top, const RECT &size)
{
    RECT rect = {left, top, left + size.right - size.left, top + size.bottom - size.top};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

static HWND createWindow(HMODULE module)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    windowClass.hIcon = LoadIconW(nullptr, (LPCWSTR)IDI_APPLICATION);
    windowClass.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassExW(&windowClass))
        return nullptr;
    paceSet(settings.paceUs);
    picture.scale = settings.scale;
    image.width = panelWidth; // blank until the first copy, at the module's size
    image.height = panelHeight;
    panelPictureRender(image, picture.scale, &picture);
    menu = panelMenuCreate();
    RECT size = windowRectForScale(settings.scale);
    bool placed = settings.havePosition && onSomeScreen(settings.left, settings.top, size);
    HWND handle = CreateWindowExW(0, WINDOW_CLASS, L"Pixelvane virtual panel", WINDOW_STYLE,
                                  placed ? settings.left : CW_USEDEFAULT, placed ? settings.top : CW_USEDEFAULT,
                                  size.right - size.left, size.bottom - size.top, nullptr, menu, module, nullptr);
    if (handle == nullptr) {
        DestroyMenu(menu);
        UnregisterClassW(WINDOW_CLASS, module);
    }
    return handle;
}

static void runWindow(HMODULE module)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    counterFrequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    rateStart = counterNow();
    HWND handle = createWindow(module);
    window.store(handle);
    SetEvent(windowReady);
    if (handle == nullptr)
        return;
    takeCopy();
    updateTitle();
    updateStatus();
    // Shown without taking the focus from the player.
    ShowWindow(handle, SW_SHOWNOACTIVATE);
    SetTimer(handle, FRAME_TIMER, FRAME_TIMER_MS, nullptr);
    HACCEL keys = panelKeysCreate();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (keys != nullptr && TranslateAcceleratorW(handle, keys, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    window.store(nullptr);
    if (keys != nullptr)
        DestroyAcceleratorTable(keys);
    UnregisterClassW(WINDOW_CLASS, module);
}

static DWORD WINAPI windowThread(LPVOID parameter)
{
    HMODULE module = (HMODULE)parameter;
    runWindow(module);
    FreeLibraryAndExitThread(module, 0);
    return 0;
}

bool panelWindowStart(PanelCard *panelCard, bool mirrorMode, const std::wstring &path,
                      const PanelSettings &startSettings)
{
    card = panelCard;
    mirrored = mirrorMode;
    panelWidth = panelCard->emulator.lcd.glass.width;
    panelHeight = panelCard->emulator.lcd.glass.height;
    settingsPath = path;
    settings = startSettings;
    windowReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (windowReady == nullptr)
        return false;
    // The thread's own reference, taken here: the host may free the DLL
    // before the new thread runs its first instruction.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, (LPCWSTR)(void *)&windowThread, &module)) {
        SetEvent(windowReady);
        return false;
    }
    HANDLE thread = CreateThread(nullptr, 0, windowThread, module, 0, nullptr);
    if (thread == nullptr) {
        FreeLibrary(module);
        SetEvent(windowReady);
        return false;
    }
    CloseHandle(thread);
    return true;
}

HWND panelWindowHandle(DWORD waitMs)
{
    if (windowReady == nullptr)
        return nullptr;
    WaitForSingleObject(windowReady, waitMs);
    return window.load();
}

long panelWindowPaints()
{
    return paintCount.load(std::memory_order_relaxed);
}
