// The settings dialog as the plug-in ships it, created from its template
// with a dialog procedure that does nothing (so every style is the
// template's own): one Tab stop for the radio group, which is a group of
// its own, and an author credit that fits its 78 x 10 static on one line
// in the dialog's font.
//   dialog_template_test PLUGIN.dll
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static int passed, failed;

static void check(bool condition, const std::string &what)
{
    if (condition) {
        passed++;
    } else {
        failed++;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

static INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

static void checkButtonStyles(HWND dialog)
{
    struct Expected {
        int id;
        DWORD kind; // BS_ type
        bool tabStop;
        bool group;
    } expected[] = {
        {IDOK, BS_DEFPUSHBUTTON, true, true},     {IDCANCEL, BS_PUSHBUTTON, true, false},
        {3, BS_PUSHBUTTON, true, false},          {1011, BS_PUSHBUTTON, true, false},
        {1012, BS_PUSHBUTTON, true, false},       {1013, BS_PUSHBUTTON, true, false},
        {1007, BS_AUTOCHECKBOX, true, false},     {1008, BS_AUTOCHECKBOX, true, false},
        {1009, BS_AUTOCHECKBOX, true, false},     {1010, BS_AUTORADIOBUTTON, false, true},
        {1014, BS_AUTORADIOBUTTON, false, false}, {1015, BS_AUTORADIOBUTTON, false, false},
    };
    for (const Expected &e : expected) {
        std::string name = "control " + std::to_string(e.id);
        HWND control = GetDlgItem(dialog, e.id);
        check(control != NULL, name + " exists");
        if (control == NULL)
            continue;
        DWORD style = (DWORD)GetWindowLongA(control, GWL_STYLE);
        check((style & BS_TYPEMASK) == e.kind, name + " kind");
        check(((style & WS_TABSTOP) != 0) == e.tabStop, name + (e.tabStop ? " is" : " is not") + " a tab stop");
        check(((style & WS_GROUP) != 0) == e.group, name + (e.group ? " starts" : " does not start") + " a group");
    }
}

static BOOL CALLBACK findCredit(HWND control, LPARAM found)
{
    char className[16];
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetDlgCtrlID(control) == 0xFFFF) {
        *(HWND *)found = control;
        return FALSE;
    }
    return TRUE;
}

// The credit's width in the static's own font against the static's width:
// a centred static wraps a longer text, and its 10 units hold one line.
static void checkCredit(HWND dialog)
{
    HWND credit = NULL;
    EnumChildWindows(dialog, findCredit, (LPARAM)&credit);
    check(credit != NULL, "the credit static exists");
    if (credit == NULL)
        return;
    DWORD style = (DWORD)GetWindowLongA(credit, GWL_STYLE);
    check((style & SS_TYPEMASK) == SS_CENTER, "the credit is centred");
    check((style & WS_GROUP) != 0 && (style & WS_TABSTOP) == 0, "the credit starts a group");
    RECT units = {0, 0, 78, 10}, client;
    MapDialogRect(dialog, &units);
    GetClientRect(credit, &client);
    check(client.right == units.right && client.bottom == units.bottom, "the credit's static is 78 x 10 units");

    HFONT font = (HFONT)SendMessageA(credit, WM_GETFONT, 0, 0);
    LOGFONTA face;
    check(font != NULL && GetObjectA(font, sizeof face, &face) && lstrcmpiA(face.lfFaceName, "MS Sans Serif") == 0,
          "the dialog's font is MS Sans Serif");
    char text[256];
    int length = GetWindowTextA(credit, text, sizeof text);
    HDC dc = GetDC(credit);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, text, length, &extent);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(credit, dc);
    std::printf("credit \"%s\": %ld of %ld pixels wide, a line %ld of %ld pixels high\n", text, extent.cx,
                client.right, metrics.tmHeight, client.bottom);
    check(length > 3 && std::strncmp(text, "by ", 3) == 0, "the credit names its author");
    check(extent.cx <= client.right, "the credit fits the static's width on one line");
    check(metrics.tmHeight <= client.bottom, "one line fits the static's height");
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::printf("usage: dialog_template_test PLUGIN.dll\n");
        return 2;
    }
    HMODULE plugin = LoadLibraryA(argv[1]);
    HWND dialog = plugin ? CreateDialogParamA(plugin, MAKEINTRESOURCEA(101), NULL, quietDialog, 0) : NULL;
    check(dialog != NULL, "dialog 101 is created from the plug-in's template");
    if (dialog != NULL) {
        checkButtonStyles(dialog);
        checkCredit(dialog);
        DestroyWindow(dialog);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
