// Reading the host's pointer-sized answers: its visual data and level
// functions, a playlist entry's path and a file's tags. Everything the host
// hands over is checked here, once, for the plug-in and the tests alike:
// null functions and data, levels out of range, texts without terminator.
#include "host.h"

#include <cstring>

bool hostStartSpectrum()
{
    intptr_t answer = hostQueryPointer(HOST_QUERY_VISUAL_DATA, HOST_VISUAL_START_FUNCTION);
    if (answer == 0)
        return false;
    reinterpret_cast<HostVisualStartFunction>(answer)(HOST_VISUAL_START);
    return true;
}

bool hostSpectrum(uint8_t bands[SPECTRUM_BANDS])
{
    memset(bands, 0, SPECTRUM_BANDS);
    intptr_t answer = hostQueryPointer(HOST_QUERY_VISUAL_DATA, HOST_VISUAL_DATA_FUNCTION);
    if (answer == 0)
        return false;
    const char *data = reinterpret_cast<HostVisualDataFunction>(answer)();
    if (data == nullptr)
        return false;
    // Each value is one byte, 0-255 as unsigned: nothing can be out of
    // range, so nothing is clamped.
    memcpy(bands, data, SPECTRUM_BANDS);
    return true;
}

static int clampLevel(int level)
{
    if (level < 0)
        return 0;
    return level > VU_LEVEL_MAX ? VU_LEVEL_MAX : level;
}

bool hostVuLevels(int levels[VU_CHANNELS])
{
    for (int channel = 0; channel < VU_CHANNELS; channel++)
        levels[channel] = 0;
    intptr_t answer = hostQueryPointer(HOST_QUERY_VU_LEVEL, HOST_VU_LEVEL_FUNCTION);
    if (answer == 0)
        return false;
    HostVuLevelFunction level = reinterpret_cast<HostVuLevelFunction>(answer);
    int raw[VU_CHANNELS];
    bool any = false;
    for (int channel = 0; channel < VU_CHANNELS; channel++) {
        raw[channel] = level(channel);
        any = any || raw[channel] != VU_NO_LEVEL;
    }
    if (!any)
        return false;
    for (int channel = 0; channel < VU_CHANNELS; channel++)
        levels[channel] = clampLevel(raw[channel]);
    return true;
}

// Copies text with its terminator when one comes within size units, reading
// no unit past the first zero or the size-th; otherwise leaves copy empty.
static bool copyTerminated(const char16_t *text, char16_t *copy, int size)
{
    for (int i = 0; i < size; i++) {
        copy[i] = text[i];
        if (text[i] == 0)
            return true;
    }
    copy[0] = 0;
    return false;
}

bool hostPlaylistFile(int position, char16_t *path, int size)
{
    path[0] = 0;
    intptr_t answer = hostQueryPointer(HOST_QUERY_PLAYLIST_FILE, position);
    if (answer == 0)
        return false;
    return copyTerminated(reinterpret_cast<const char16_t *>(answer), path, size);
}

bool hostFileTag(const char16_t *path, const char *name, char16_t *value, int size)
{
    char16_t wideName[HOST_TAG_NAME_SIZE];
    int n = 0;
    for (; name[n] != '\0' && n < HOST_TAG_NAME_SIZE - 1; n++)
        wideName[n] = (unsigned char)name[n];
    wideName[n] = 0;

    // Zeroed, so that a host writing a short value without its terminator
    // still leaves a terminated one.
    memset(value, 0, sizeof(char16_t) * (size_t)size);
    HostTagRequest request = {path, wideName, value, (size_t)size};
    intptr_t answer = hostQueryPointer(HOST_QUERY_FILE_TAG, reinterpret_cast<intptr_t>(&request));
    bool terminated = false;
    for (int i = 0; i < size && !terminated; i++)
        terminated = value[i] == 0;
    value[size - 1] = 0;
    if (answer == 0 || !terminated) {
        value[0] = 0;
        return false;
    }
    return true;
}
