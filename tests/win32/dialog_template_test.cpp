// The settings dialog as the plug-in ships it: the styles its template
// gives the controls (one Tab stop for the radio group, which is a group
// of its own, arrows inside it), and the author credit, which must fit its
// 78 x 10 static on one line in the dialog's own font.
//   dialog_template_test PLUGIN.dll
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

struct Control {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::wstring className; // "#128" for a predefined class by atom
    std::wstring text;
};

struct Template {
    WORD pointSize;
    std::wstring font;
    std::vector<Control> controls;
};

// A name or ordinal in a template: 0xFFFF and a WORD, or a zero-terminated
// UTF-16 text.
static const WORD *readName(const WORD *p, std::wstring *name)
{
    if (*p == 0xFFFF) {
        *name = L"#" + std::to_wstring(p[1]);
        return p + 2;
    }
    name->clear();
    while (*p)
        *name += (wchar_t)*p++;
    return p + 1;
}

static const WORD *alignToDword(const WORD *p, const BYTE *start)
{
    size_t offset = (const BYTE *)p - start;
    return (const WORD *)(start + ((offset + 3) & ~(size_t)3));
}

static bool parseTemplate(const BYTE *data, Template *result)
{
    const DLGTEMPLATE *header = (const DLGTEMPLATE *)data;
    if (((const WORD *)data)[1] == 0xFFFF) // DIALOGEX: not what the script declares
        return false;
    const WORD *p = (const WORD *)(header + 1);
    std::wstring ignored;
    p = readName(p, &ignored); // menu
    p = readName(p, &ignored); // class
    p = readName(p, &ignored); // caption
    if (header->style & DS_SETFONT) {
        result->pointSize = *p++;
        p = readName(p, &result->font);
    }
    for (int i = 0; i < header->cdit; i++) {
        p = alignToDword(p, data);
        const DLGITEMTEMPLATE *item = (const DLGITEMTEMPLATE *)p;
        Control control;
        control.style = item->style;
        control.x = item->x;
        control.y = item->y;
        control.cx = item->cx;
        control.cy = item->cy;
        control.id = item->id;
        p = (const WORD *)(item + 1);
        p = readName(p, &control.className);
        p = readName(p, &control.text);
        WORD extra = *p++;
        p = (const WORD *)((const BYTE *)p + extra);
        result->controls.push_back(control);
    }
    return true;
}

static const Control *findControl(const Template &dialog, WORD id, const wchar_t *classAtom)
{
    for (const Control &control : dialog.controls)
        if (control.id == id && (classAtom == nullptr || control.className == classAtom))
            return &control;
    return nullptr;
}

static void checkTemplate(const Template &dialog)
{
    const wchar_t *BUTTON = L"#128", *STATIC = L"#130";
    check(dialog.font == L"MS Sans Serif" && dialog.pointSize == 8, "font MS Sans Serif 8");
    check(dialog.controls.size() == 16, "sixteen controls");
    struct Expected {
        WORD id;
        DWORD kind; // BS_ type
        bool tabStop;
        bool group;
    } expected[] = {
        {IDOK, BS_DEFPUSHBUTTON, true, true},   {IDCANCEL, BS_PUSHBUTTON, true, false},
        {3, BS_PUSHBUTTON, true, false},        {1011, BS_PUSHBUTTON, true, false},
        {1012, BS_PUSHBUTTON, true, false},     {1013, BS_PUSHBUTTON, true, false},
        {1007, BS_AUTOCHECKBOX, true, false},   {1008, BS_AUTOCHECKBOX, true, false},
        {1009, BS_AUTOCHECKBOX, true, false},   {1010, BS_AUTORADIOBUTTON, false, true},
        {1014, BS_AUTORADIOBUTTON, false, false}, {1015, BS_AUTORADIOBUTTON, false, false},
    };
    for (const Expected &e : expected) {
        std::string name = "control " + std::to_string(e.id);
        const Control *control = findControl(dialog, e.id, BUTTON);
        check(control != nullptr, name + " is a button");
        if (control == nullptr)
            continue;
        check((control->style & BS_TYPEMASK) == e.kind, name + " kind");
        check(((control->style & WS_TABSTOP) != 0) == e.tabStop, name + (e.tabStop ? " is" : " is not") + " a tab stop");
        check(((control->style & WS_GROUP) != 0) == e.group, name + (e.group ? " starts" : " does not start") + " a group");
    }
    const Control *credit = findControl(dialog, 0xFFFF, STATIC);
    check(credit != nullptr, "the credit is a static");
    if (credit) {
        check((credit->style & SS_TYPEMASK) == SS_CENTER, "the credit is centred");
        check((credit->style & WS_GROUP) != 0 && (credit->style & WS_TABSTOP) == 0, "the credit starts a group");
        check(credit->x == 181 && credit->y == 46 && credit->cx == 78 && credit->cy == 10, "the credit at 181, 46, 78 x 10");
    }
}

static INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

static BOOL CALLBACK findCredit(HWND control, LPARAM found)
{
    wchar_t className[16];
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"Static") == 0 && GetDlgCtrlID(control) == 0xFFFF) {
        *(HWND *)found = control;
        return FALSE;
    }
    return TRUE;
}

// The credit's width in the static's own font against the static's width:
// a centred static wraps a longer text, and its 10 units hold one line.
static void checkCreditFits(HMODULE plugin)
{
    HWND dialog = CreateDialogParamA(plugin, MAKEINTRESOURCEA(101), NULL, quietDialog, 0);
    check(dialog != NULL, "the dialog is created from its template");
    if (dialog == NULL)
        return;
    HWND credit = NULL;
    EnumChildWindows(dialog, findCredit, (LPARAM)&credit);
    check(credit != NULL, "the credit static exists");
    if (credit != NULL) {
        char text[256];
        int length = GetWindowTextA(credit, text, sizeof text);
        RECT client;
        GetClientRect(credit, &client);
        HDC dc = GetDC(credit);
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(credit, WM_GETFONT, 0, 0));
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, text, length, &extent);
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(credit, dc);
        std::printf("credit \"%s\": %ld of %ld pixels wide, line %ld of %ld pixels high\n", text, extent.cx,
                    client.right, metrics.tmHeight, client.bottom);
        check(length > 3 && std::strncmp(text, "by ", 3) == 0, "the credit names its author");
        check(extent.cx <= client.right, "the credit fits the static's width on one line");
        check(metrics.tmHeight <= client.bottom, "one line fits the static's height");
    }
    DestroyWindow(dialog);
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::printf("usage: dialog_template_test PLUGIN.dll\n");
        return 2;
    }
    HMODULE plugin = LoadLibraryA(argv[1]);
    HRSRC resource = plugin ? FindResourceA(plugin, MAKEINTRESOURCEA(101), (LPCSTR)RT_DIALOG) : NULL;
    HGLOBAL loaded = resource ? LoadResource(plugin, resource) : NULL;
    const BYTE *data = loaded ? (const BYTE *)LockResource(loaded) : NULL;
    check(data != NULL, "dialog 101 is in the plug-in");
    Template dialog;
    if (data != NULL) {
        check(parseTemplate(data, &dialog), "dialog 101 is a DIALOG template");
        checkTemplate(dialog);
        checkCreditFits(plugin);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
