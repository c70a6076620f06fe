// The module the stand-ins emulate, from the same two keys the plug-in
// reads: "Panel Size" (WIDTHxHEIGHT) and "Font Select" (6 or 8) in section
// [Pixelvane] of a plugin.ini. Windows only: the port-driver stand-in and
// the virtual panel read the file in their own folder, the plug-in's.
#pragma once

#include "emulator.h"

#include <string>

enum { MODULE_KEYS_REASON_SIZE = 96 };

// The glass the keys in the file at iniPath ask for. A file or key that is
// missing gives the 240 x 64 module with the 6-pixel font select and true;
// keys the plug-in would refuse give that default too, false, and the
// reason in `why` (the plug-in's own words, panel_geometry.h).
bool moduleGlassFromIni(const std::wstring &iniPath, ModuleGlass *glass, char *why, int whySize);

// "plugin.ini" in the folder of the DLL this is linked into, or "" when
// that path cannot be had whole.
std::wstring pluginIniBeside();
