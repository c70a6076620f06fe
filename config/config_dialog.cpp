#include "config_dialog.h"

#include "controller/bitmap.h"
#include "controller/controller.h"
#include "credits.h"
#include "dialog_ids.h"
#include "display_work.h"
#include "settings.h"
#include "status_screen.h"

// The dialog while it is open, else NULL.
static HWND openDialog;
// A dialog open when the plug-in shut down draws nothing over the
// shut-down screen; one opened after it may.
static bool openedAfterShutdown;

bool configDialogBringToFront()
{
    if (openDialog == NULL || !IsWindow(openDialog))
        return false;
    SetForegroundWindow(openDialog);
    return true;
}

static bool beginDrawing()
{
    return (openedAfterShutdown || !displayShutDown()) && displayWorkBegin();
}

static void checkIfSet(HWND dialog, int id, int value)
{
    if (value != 0)
        CheckDlgButton(dialog, id, BST_CHECKED);
}

static void showSettings(HWND dialog)
{
    checkIfSet(dialog, IDC_DISABLE_LCD, settings.disableLcd);
    checkIfSet(dialog, IDC_SKIP_INTRO, settings.noIntro);
    checkIfSet(dialog, IDC_TIME_REMAINING, settings.timeRemaining);
    int port = IDC_PORT_278;
    if (settings.lptPort == LPT_PORT_378)
        port = IDC_PORT_378;
    else if (settings.lptPort == LPT_PORT_3BC)
        port = IDC_PORT_3BC;
    CheckRadioButton(dialog, IDC_PORT_278, IDC_PORT_3BC, port);
}

static int isTicked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

static void acceptSettings(HWND dialog)
{
    settings.disableLcd = isTicked(dialog, IDC_DISABLE_LCD);
    settings.noIntro = isTicked(dialog, IDC_SKIP_INTRO);
    settings.timeRemaining = isTicked(dialog, IDC_TIME_REMAINING);
    settings.lptPort = LPT_PORT_378;
    if (isTicked(dialog, IDC_PORT_378))
        settings.lptPort = LPT_PORT_378;
    if (isTicked(dialog, IDC_PORT_278))
        settings.lptPort = LPT_PORT_278;
    if (isTicked(dialog, IDC_PORT_3BC))
        settings.lptPort = LPT_PORT_3BC;
}

static void showPictureAfterDialog(const char *picture)
{
    refreshEnabled = 1;
    if (!beginDrawing())
        return;
    lcdClearText();
    lcdShowPicture(picture);
    displayWorkEnd();
}

static void openInShell(const char *target)
{
    ShellExecuteA(NULL, "open", target, "", "", SW_SHOWNORMAL);
}

void showAboutScreen()
{
    refreshEnabled = 0;
    if (!beginDrawing())
        return;
    lcdClearText();
    lcdShowPicture(ABOUT_PICTURE);
    lcdGotoXY(0, 0);
    lcdPrint("Programming: " PIXELVANE_AUTHOR);
    lcdGotoXY(0, 1);
    lcdPrint("Special thanx: " PIXELVANE_THANKS);
    lcdGotoXY(0, 2);
    lcdPrint("Software: " PIXELVANE_TOOLS);
    lcdGotoXY(0, 3);
    lcdPrint("E-Mail: " PIXELVANE_EMAIL);
    lcdGotoXY(2, 5);
    lcdPrint("Take a visit at:");
    displayWorkEnd();
}

static void showIntroUnderTheStatus()
{
    refreshEnabled = 0;
    if (!beginDrawing())
        return;
    lcdClearText();
    lcdShowPicture(INTRO_PICTURE);
    displayScreen->redraw();
    displayWorkEnd();
}

static INT_PTR onCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        acceptSettings(dialog);
        showPictureAfterDialog(SETTINGS_PICTURE);
        EndDialog(dialog, 0);
        return TRUE;
    case IDCANCEL:
        showPictureAfterDialog(STATUS_PICTURE);
        EndDialog(dialog, 0);
        return FALSE;
    case IDC_INTRO_BUTTON:
        showIntroUnderTheStatus();
        return TRUE;
    case IDC_ABOUT_BUTTON:
        showAboutScreen();
        return TRUE;
    case IDC_EMAIL_BUTTON:
        openInShell("mailto:" PIXELVANE_EMAIL);
        return TRUE;
    case IDC_WEB_BUTTON:
        openInShell(PIXELVANE_WEBSITE);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        openDialog = dialog;
        openedAfterShutdown = displayShutDown();
        showSettings(dialog);
        return FALSE;
    case WM_DESTROY:
        if (openDialog == dialog)
            openDialog = NULL;
        return FALSE;
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
