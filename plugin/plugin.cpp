#include "plugin.h"

#include "bus.h"
#include "config_dialog.h"
#include "controller/bitmap.h"
#include "controller/controller.h"
#include "display_work.h"
#include "fast_bus/fast_bus.h"
#include "graphic_refresh.h"
#include "letters/letters.h"
#include "module_path.h"
#include "player_status.h"
#include "plugin_record.h"
#include "port_access.h"
#include "settings.h"
#include "settings_file.h"
#include "status_screen.h"

enum {
    DESCRIPTION_SIZE = 512,
    REFRESH_TIMER_ID = 1,
    REFRESH_PERIOD_MS = 250,
    CONFIG_DIALOG_ID = 101,
};

static const char PRODUCT_NAME[] = "Pixelvane";

static char description[DESCRIPTION_SIZE];
static WNDPROC savedWindowProc;
// The host's window as it was created: a Unicode window must keep a
// Unicode procedure, or Windows re-registers it as ANSI and its title,
// taskbar button and every other reader of it lose the characters outside
// the code page.
static bool unicodeWindow;

PluginRecord pluginRecord = {
    PLUGIN_RECORD_VERSION, "", pluginInit, pluginConfig, pluginQuit, 0, 0,
};

extern "C" PluginRecord *winampGetGeneralPurposePlugin()
{
    return &pluginRecord;
}

static void formatDescription()
{
    char modulePath[DESCRIPTION_SIZE];
    modulePath[0] = '\0';
    GetModuleFileNameA(pluginRecord.moduleInstance, modulePath, sizeof modulePath);
    modulePath[sizeof modulePath - 1] = '\0';
    // wsprintfA writes at most 1024 bytes; the name part is cut so the whole
    // text always fits the description buffer.
    char name[DESCRIPTION_SIZE - 32];
    lstrcpynA(name, fileNamePart(modulePath), sizeof name);
    wsprintfA(description, "%s Plug-In v1.1 (%s)", PRODUCT_NAME, name);
    pluginRecord.description = description;
}

static WNDPROC currentWindowProc(HWND window)
{
    return (WNDPROC)(unicodeWindow ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC));
}

static void setWindowProc(HWND window, WNDPROC procedure)
{
    if (unicodeWindow)
        SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)procedure);
    else
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)procedure);
}

static void installWindowProc()
{
    HWND window = pluginRecord.parentWindow;
    unicodeWindow = IsWindowUnicode(window) != FALSE;
    savedWindowProc = currentWindowProc(window);
    setWindowProc(window, hostWindowProc);
}

typedef BOOL(WINAPI *GetModuleHandleExFunction)(DWORD flags, LPCSTR name, HMODULE *module);

// Keeps this module mapped until the process ends, whatever the host frees:
// a host may free it from a message that is still inside hostWindowProc
// (quitProc from its WM_CLOSE, WM_DESTROY or WM_ENDSESSION handler), and
// another module that subclassed the window after us keeps calling it.
// Systems before Windows XP cannot pin; one more reference, never given
// back, outlasts the host's one FreeLibrary there.
static void pinModule()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    GetModuleHandleExFunction getModuleHandleEx =
        kernel ? (GetModuleHandleExFunction)(void *)GetProcAddress(kernel, "GetModuleHandleExA") : NULL;
    HMODULE module;
    if (getModuleHandleEx != NULL &&
        getModuleHandleEx(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                          (LPCSTR)(void *)hostWindowProc, &module))
        return;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(pluginRecord.moduleInstance, path, sizeof path);
    if (length > 0 && length < sizeof path)
        LoadLibraryA(path);
}

// The pictures lie beside the module.
static void findPictures()
{
    char folder[PICTURE_PATH_SIZE];
    pluginFolderPath("", folder, sizeof folder);
    lcdSetPictureFolder(folder);
}

int pluginInit()
{
    formatDescription();
    SetTimer(pluginRecord.parentWindow, REFRESH_TIMER_ID, REFRESH_PERIOD_MS, NULL);
    loadSettings();
    findPictures();
    if (optIns.graphicScreen != 0)
        displayScreen = &GRAPHIC_SCREEN;
    // The graphic screen's frames live in the graphics area: the periodic
    // resend covers it too.
    fastBusResendGraphics(displayScreen == &GRAPHIC_SCREEN);

    portAccessBind();
    lcdPortInit();
    lcdInit();
    if (optIns.letters != 0)
        lcdLoadLetters(GetACP());
    lcdClearText();
    lcdClearGraphics();
    lcdGotoXY(0, 0);
    // Both areas are blank: the status screen has drawn nothing yet.
    statusScreenReset();

    pinModule();
    installWindowProc();

    if (displayWorkBegin()) {
        lcdShowPicture(settings.noIntro ? STATUS_PICTURE : INTRO_PICTURE);
        displayWorkEnd();
    }
    displayScreen->start();
    return 0;
}

// The dialog is modal to the host's main window, but a host can still ask
// again (from another window of its own): the open dialog comes to the
// front rather than a second one inside the first one's loop.
void pluginConfig()
{
    if (configDialogBringToFront())
        return;
    DialogBoxParamA(pluginRecord.moduleInstance, MAKEINTRESOURCEA(CONFIG_DIALOG_ID),
                    pluginRecord.parentWindow, configDialogProc, 0);
}

// Puts the host's own procedure back, so the host's messages no longer
// pass through this module. When another module has subclassed the window
// after us, its procedure still forwards to ours: ours must stay and keep
// forwarding to the host (the module is pinned).
static void restoreWindowProc()
{
    HWND window = pluginRecord.parentWindow;
    if (savedWindowProc == NULL || !IsWindow(window))
        return;
    if (currentWindowProc(window) == hostWindowProc) {
        setWindowProc(window, savedWindowProc);
        savedWindowProc = NULL;
    }
}

// The shut-down screen is drawn whatever runs: a host may shut down from a
// modal loop of its own inside a refresh's message to it, and that refresh
// then draws nothing more.
void pluginQuit()
{
    displayWorkBeginShutdown();
    setShutdownStatus();
    displayScreen->shutDown();
    displayWorkEnd();
    KillTimer(pluginRecord.parentWindow, REFRESH_TIMER_ID);
    restoreWindowProc();
    saveSettings();
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Taken first: a quit from inside the refresh puts the host's own
    // procedure back, and this message must still reach it.
    WNDPROC hostProcedure = savedWindowProc;
    // A tick ends its display work also while a dialog screen holds the
    // refresh off: the fast bus's periodic text resend stays on time.
    if (message == WM_TIMER && settings.disableLcd == 0 && !displayShutDown() && displayWorkBegin()) {
        if (refreshEnabled != 0) {
            samplePlayerStatus();
            // The host may have shut the plug-in down from a modal loop
            // inside one of the sample's messages.
            if (!displayShutDown())
                displayScreen->refresh();
        }
        displayWorkEnd();
    }
    if (unicodeWindow)
        return CallWindowProcW(hostProcedure, window, message, wParam, lParam);
    return CallWindowProcA(hostProcedure, window, message, wParam, lParam);
}
