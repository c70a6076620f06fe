// The settings dialog's steps. The dialog runs its own modal loop inside
// the plug-in's configProc; a thread timer performs the steps up to "end"
// from inside that loop, one step per call.
#include "host.h"

enum { CONFIG_STEP_PERIOD_MS = 10, CONFIG_END_PATIENCE = 300 };

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

HWND openDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findVisibleDialog, (LPARAM)&found);
    return found;
}

static HWND requireDialog(const Step &step)
{
    HWND dialog = openDialog();
    if (dialog == nullptr)
        fail(&step, "no dialog is open");
    return dialog;
}

void clickControl(const Step &step)
{
    HWND control = GetDlgItem(requireDialog(step), (int)number(step, 0));
    if (control == nullptr)
        fail(&step, "the dialog has no control " + step.words[0]);
    SendMessageW(control, BM_CLICK, 0, 0);
}

void closeDialog(const Step &step)
{
    SendMessageW(requireDialog(step), WM_SYSCOMMAND, SC_CLOSE, 0);
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

static BOOL CALLBACK collectTabStop(HWND control, LPARAM stops)
{
    if (GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP)
        *(std::string *)stops += " " + std::to_string(GetDlgCtrlID(control));
    return TRUE;
}

// Logs the state of every check box and radio button of the open dialog,
// the controls that are tab stops now ("tab stops 1 2 ...", in the
// dialog's order), and the one with the focus ("focus ID", 0 for none).
void inspectDialog(const Step &step)
{
    HWND dialog = requireDialog(step);
    EnumChildWindows(dialog, logButtonState, 0);
    std::string stops;
    EnumChildWindows(dialog, collectTabStop, (LPARAM)&stops);
    event("tab stops" + stops);
    HWND focus = GetFocus();
    event("focus " + std::to_string(focus && IsChild(dialog, focus) ? GetDlgCtrlID(focus) : 0));
}

// "focus ID": the control gets the keyboard focus, as a click would give it.
void focusControl(const Step &step)
{
    HWND control = GetDlgItem(requireDialog(step), (int)number(step, 0));
    if (control == nullptr)
        fail(&step, "the dialog has no control " + step.words[0]);
    SendMessageW(requireDialog(step), WM_NEXTDLGCTL, (WPARAM)control, TRUE);
}

// "key tab|down|up": the key goes to the control with the focus; the
// dialog's own loop moves the focus as it does for a user's key.
void pressKey(const Step &step)
{
    const std::string &name = step.words[0];
    WPARAM key = name == "tab" ? VK_TAB : name == "down" ? VK_DOWN : name == "up" ? VK_UP : 0;
    if (key == 0)
        fail(&step, "expected 'key tab', 'key down' or 'key up'");
    HWND target = GetFocus();
    if (target == nullptr)
        target = requireDialog(step);
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

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
    if (step.verb == "start" || step.verb == "unload")
        fail(&step, "not allowed while the dialog is open");
    host.stepRunning = true;
    host.next++;
    runStep(step);
    host.stepRunning = false;
}

// "config" while the dialog is open: the host asks again, as from its
// preferences window, after another window of its own came to the front.
// Should a second dialog open, the steps that follow run inside it.
static void runConfigAgain()
{
    HWND dialog = openDialog();
    HWND other = CreateWindowExW(0, L"Static", L"Preferences", WS_POPUP | WS_VISIBLE, 300, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    event(std::string("config again, dialog in front ") + (GetForegroundWindow() == dialog ? "1" : "0"));
    host.stepRunning = false;
    host.record->configProc();
    host.stepRunning = true;
    event(std::string("config again returned, dialog in front ") +
          (dialog != nullptr && GetForegroundWindow() == dialog ? "1" : "0"));
    DestroyWindow(other);
}

void runConfig(const Step &step)
{
    requirePlugin(step);
    if (host.inConfig) {
        runConfigAgain();
        return;
    }
    host.inConfig = true;
    host.endWaits = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, CONFIG_STEP_PERIOD_MS, configStepTimer);
    host.record->configProc();
    KillTimer(nullptr, timer);
    host.inConfig = false;
    // Steps the dialog's loop did not reach before it ended run now; "end"
    // then checks that no dialog is left open.
}
