#include "panel_notice.h"

#include "panel_layout.h"

#include <windows.h>

#include <cstring>

// The plug-in's thread writes, the window's thread reads.
static CRITICAL_SECTION noticeLock;
static struct NoticeLockStart {
    NoticeLockStart() { InitializeCriticalSection(&noticeLock); }
} noticeLockStart;
static char notice[PANEL_NOTICE_CHARACTERS + 1];
static DWORD noticeSince;

static char keysRefused[PANEL_NOTICE_CHARACTERS + 1];

static void copyBounded(char *target, const std::string &text)
{
    size_t length = text.size() < PANEL_NOTICE_CHARACTERS ? text.size() : PANEL_NOTICE_CHARACTERS;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

void panelNoticeSet(const char *text)
{
    std::string shown = panelNoticeText(text);
    EnterCriticalSection(&noticeLock);
    copyBounded(notice, shown);
    noticeSince = GetTickCount();
    LeaveCriticalSection(&noticeLock);
}

std::string panelNoticeNow()
{
    std::string shown;
    EnterCriticalSection(&noticeLock);
    if (notice[0] != '\0' && GetTickCount() - noticeSince < (DWORD)PANEL_NOTICE_MS)
        shown = notice;
    LeaveCriticalSection(&noticeLock);
    return shown;
}

void panelKeysRefusedSet(const char *why)
{
    copyBounded(keysRefused, panelNoticeText(why));
}

const char *panelKeysRefused()
{
    return keysRefused;
}
