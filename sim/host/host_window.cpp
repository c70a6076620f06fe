// The player's main window: a Unicode window of the player's class that
// answers the status queries, takes the play command and logs every timer
// message that reaches its own procedure.
#include "host.h"

static const wchar_t HOST_WINDOW_CLASS[] = L"Winamp v1.x";
enum { PLAY_COMMAND = 40045 };

// As a player does for the play command with an empty playlist (an
// open-file dialog) or for an error box: a loop of its own, inside the
// message it answers, that delivers the timer messages due meanwhile. The
// host never starts a second one inside the first.
static void runModalLoop(const char *answering)
{
    host.inModalLoop = true;
    event(std::string("modal loop begin ") + answering);
    for (int i = 0; i < host.modalTimers; i++)
        PostMessageW(host.window, WM_TIMER, 1, 0);
    pumpMessages();
    if (host.modalQuits && !host.unloaded) {
        host.modalQuits = false;
        event("quit inside the modal loop");
        callQuit();
    }
    event(std::string("modal loop end ") + answering);
    host.inModalLoop = false;
}

static LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_USER: {
        LRESULT ipcAnswer;
        if (answerPlayerIpc(wParam, lParam, &ipcAnswer))
            return ipcAnswer;
        auto answer = host.answers.find({(long long)lParam, (long long)wParam});
        return answer == host.answers.end() ? 0 : (LRESULT)answer->second;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == PLAY_COMMAND) {
            event("command " + std::to_string(LOWORD(wParam)));
            if (host.modalOnPlay && !host.inModalLoop)
                runModalLoop("play");
            if (host.havePlayTitle)
                setMainWindowTitle(host.playTitle);
        }
        return 0;
    case WM_CLOSE:
        event("close message");
        quitAndFreeOnClose();
        event("close handled");
        return 0;
    case WM_TIMER:
        hostOwnTimeBegin();
        host.timerMessages++;
        event("received timer " + std::to_string((unsigned long long)wParam) + " " +
              std::to_string((long long)lParam));
        if (host.modalOnTick && !host.inModalLoop)
            runModalLoop("tick");
        hostOwnTimeEnd();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void createMainWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = hostWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = HOST_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    host.title = L"Winamp 2.91";
    host.window = CreateWindowExW(0, HOST_WINDOW_CLASS, host.title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 275, 116,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (host.window == nullptr)
        fail(nullptr, "cannot create the main window");
}

void setMainWindowTitle(const std::wstring &title)
{
    host.title = title;
    SetWindowTextW(host.window, title.c_str());
}

// "window unicode 1 title kept": a window whose procedure was installed as
// ANSI turns to 0, and reads back a title outside the code page as "?".
void logMainWindowState()
{
    if (!host.watchWindow || !IsWindow(host.window))
        return;
    std::wstring title(host.title.size() + 2, L'\0');
    int length = GetWindowTextW(host.window, &title[0], (int)title.size());
    title.resize(length > 0 ? length : 0);
    event(std::string("window unicode ") + (IsWindowUnicode(host.window) ? "1" : "0") + " title " +
          (title == host.title ? "kept" : "changed"));
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (heldBackOutsideWait(message))
            continue;
        markPluginThreadTimer(message);
        TranslateMessage(&message);
        dispatchTimed(message);
    }
}

void deliverTimer(WPARAM id)
{
    if (!IsWindow(host.window))
        return;
    PostMessageW(host.window, WM_TIMER, id, 0);
    pumpMessages();
}

// Another module subclassing the main window, as a second plug-in would.
static WNDPROC otherModuleSavedProc;
static LRESULT CALLBACK otherModuleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(otherModuleSavedProc, window, message, wParam, lParam);
}

void subclassMainWindow()
{
    otherModuleSavedProc = (WNDPROC)SetWindowLongPtrW(host.window, GWLP_WNDPROC, (LONG_PTR)otherModuleProc);
    event("subclassed by another module");
}

// "modal-loop play N", "modal-loop tick N", "modal-loop off"; with a
// third word "quit" the host calls quitProc once from inside its loop.
void chooseModalLoop(const Step &step)
{
    const std::string &answering = step.words[0];
    host.modalQuits = step.words.size() == 3 && step.words[2] == "quit";
    host.modalOnPlay = answering == "play";
    host.modalOnTick = answering == "tick";
    if (answering == "off")
        return;
    if (!host.modalOnPlay && !host.modalOnTick)
        fail(&step, "expected 'modal-loop play N', 'modal-loop tick N' or 'modal-loop off'");
    host.modalTimers = (int)number(step, 1);
}
