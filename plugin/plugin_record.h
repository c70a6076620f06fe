// The host's general-purpose plug-in interface, declared from its contract:
// the host calls the one export, fills in its main window and our module
// handle, then calls initProc, configProc any number of times, and
// quitProc once.
#pragma once

#include <windows.h>

#include <cstddef>

enum { PLUGIN_RECORD_VERSION = 0x10 };

struct PluginRecord {
    int version;
    const char *description;
    int (*initProc)();
    void (*configProc)();
    void (*quitProc)();
    HWND parentWindow;
    HINSTANCE moduleInstance;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PluginRecord) == 28, "the host reads seven 32-bit fields");
static_assert(offsetof(PluginRecord, version) == 0, "record layout");
static_assert(offsetof(PluginRecord, description) == 4, "record layout");
static_assert(offsetof(PluginRecord, initProc) == 8, "record layout");
static_assert(offsetof(PluginRecord, configProc) == 12, "record layout");
static_assert(offsetof(PluginRecord, quitProc) == 16, "record layout");
static_assert(offsetof(PluginRecord, parentWindow) == 20, "record layout");
static_assert(offsetof(PluginRecord, moduleInstance) == 24, "record layout");
#endif

extern PluginRecord pluginRecord;

extern "C" __declspec(dllexport) PluginRecord *winampGetGeneralPurposePlugin();
