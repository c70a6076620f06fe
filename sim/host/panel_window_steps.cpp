// The virtual panel's window seen from outside, as Windows would see it:
// what it paints, its menu and keys, the clipboard and the saved picture
// (the steps are listed in panel_steps.cpp).
#include "host.h"
#include "panel_control.h"
#include "panel_layout.h"
#include "panel_picture.h"
#include "panel_steps.h"

enum { STATUS_CHARACTERS = 512 };
static const uint32_t UNPAINTED = 0x00FF00FF;

static std::string narrow(const wchar_t *text)
{
    std::string result;
    for (; *text; text++)
        result += *text < 0x80 ? (char)*text : '?';
    return result;
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
    for (int y = 0; y < image.height * scale; y++) {
        for (int x = 0; x < image.width * scale; x++) {
            uint32_t expected = panelPixelColour(panelShade(image, x, y, scale));
            bool inside = left + x < width && top + y < height;
            if (!inside || pixels[(size_t)(top + y) * width + left + x] != expected)
                differing++;
        }
    }
    return differing;
}

// The window's layout for the module the emulator has.
static PanelLayout windowLayout(const RECT &client)
{
    const ModuleGlass &glass = emulator().lcd.glass;
    return panelLayout(client.right, client.bottom, glass.width, glass.height);
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

void paintPanel(const Step &step)
{
    HWND window = requirePanelWindow(step);
    RECT client;
    GetClientRect(window, &client);
    if (client.right < 1 || client.bottom < 1)
        fail(&step, "the panel window has no client area");
    std::vector<uint32_t> pixels = paintedClientArea(window, client.right, client.bottom);
    if (pixels.empty())
        fail(&step, "cannot make a DIB section");
    PanelLayout layout = windowLayout(client);
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

void closePanel(const Step &step)
{
    HWND window = requirePanelWindow(step);
    SendMessageW(window, WM_CLOSE, 0, 0);
    event(std::string("panel closed, window ") + (IsWindow(window) ? "kept" : "gone") + ", visible " +
          std::to_string(IsWindowVisible(window) ? 1 : 0));
}

void menuCommand(const Step &step)
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
    SendMessageW(requirePanelWindow(step), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    event("panel menu " + step.text);
}

// Waits until the window's thread has handled everything posted to it.
static void waitForWindowQueue(const Step &step, HWND window)
{
    HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PostMessageW(window, PANEL_MESSAGE_SYNC, 0, (LPARAM)reached);
    bool handled = WaitForSingleObject(reached, PANEL_WINDOW_PATIENCE_MS) == WAIT_OBJECT_0;
    CloseHandle(reached);
    if (!handled)
        fail(&step, "the panel window does not answer");
}

void pressPanelKey(const Step &step)
{
    HWND window = requirePanelWindow(step);
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
void checkClipboard(const Step &step)
{
    HWND window = requirePanelWindow(step);
    RECT client;
    GetClientRect(window, &client);
    int scale = windowLayout(client).scale;
    const ModuleGlass &glass = emulator().lcd.glass;
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
    bool shape = header->biBitCount == 24 && header->biCompression == BI_RGB && width == glass.width * scale &&
                 height == glass.height * scale;
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

// What the plug-in would put in the status line through the panel's
// PanelNotice export: the rest of the step's line.
void panelNotice(const Step &step)
{
    typedef void(__stdcall * NoticeFunction)(const char *text);
    NoticeFunction notice = (NoticeFunction)(void *)GetProcAddress(panelDll(step), PANEL_NOTICE_EXPORT);
    if (notice == nullptr)
        fail(&step, std::string("the panel has no export ") + PANEL_NOTICE_EXPORT);
    notice(step.text.c_str());
    event("panel notice given");
}

void savePanel(const Step &step)
{
    std::wstring path = widen(host.outDir + "\\" + step.words[0] + ".saved.png");
    LRESULT written = SendMessageW(requirePanelWindow(step), PANEL_MESSAGE_SAVE, 0, (LPARAM)path.c_str());
    event("panel save " + step.words[0] + (written ? " written" : " failed"));
}
