// What the status line says besides the card's numbers: a notice the
// plug-in hands over (the PanelNotice export), shown for a few seconds, and
// why plugin.ini's module keys were refused, shown for good.
#pragma once

#include <string>

enum { PANEL_NOTICE_MS = 5000 };

// Any thread: copies what panelNoticeText keeps of `text` (null or ""
// takes the notice down).
void panelNoticeSet(const char *text);
// The notice of the last PANEL_NOTICE_MS, or "".
std::string panelNoticeNow();

// Set once, before the window starts; "" when the keys were accepted.
void panelKeysRefusedSet(const char *why);
const char *panelKeysRefused();
