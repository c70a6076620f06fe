#include "fake_host.h"

#include <algorithm>
#include <cstring>

#include "host.h"

FakeHost fakeHost;

void fakeHostReset()
{
    fakeHost = FakeHost();
    fakeHost.switchTitleOnPlay = false;
    fakeHost.titleReads = 0;
    fakeHost.playCommands = 0;
}

void fakeHostAnswer(int code, int wParam, int answer)
{
    fakeHost.answers[std::make_pair(code, wParam)] = answer;
}

// As GetWindowTextA: at most size - 1 characters, always terminated.
void hostReadTitle(char *buffer, int size)
{
    fakeHost.titleReads++;
    size_t n = fakeHost.title.size();
    if (n > (size_t)(size - 1))
        n = (size_t)(size - 1);
    memcpy(buffer, fakeHost.title.data(), n);
    buffer[n] = '\0';
}

bool hostReadUnicodeTitle(char16_t *buffer, int size)
{
    if (fakeHost.unicodeTitle.empty())
        return false;
    size_t n = fakeHost.unicodeTitle.size();
    if (n > (size_t)(size - 1))
        n = (size_t)(size - 1);
    std::copy(fakeHost.unicodeTitle.begin(), fakeHost.unicodeTitle.begin() + n, buffer);
    buffer[n] = 0;
    return true;
}

// The host's code page taken as Latin-1: each byte its own character.
void hostWidenText(const char *text, char16_t *buffer, int size)
{
    int n = 0;
    for (; text[n] != '\0' && n < size - 1; n++)
        buffer[n] = (unsigned char)text[n];
    buffer[n] = 0;
}

int hostQuery(int code, int wParam)
{
    fakeHost.queries.push_back(std::make_pair(code, wParam));
    auto it = fakeHost.answers.find(std::make_pair(code, wParam));
    return it == fakeHost.answers.end() ? 0 : it->second;
}

void hostSendPlayCommand()
{
    fakeHost.playCommands++;
    if (fakeHost.switchTitleOnPlay)
        fakeHost.title = fakeHost.titleAfterPlay;
}

void fakeHostSetPlaylistFile(int position, const std::u16string &text, bool terminated)
{
    std::vector<char16_t> units(text.begin(), text.end());
    if (terminated)
        units.push_back(0);
    units.shrink_to_fit();
    fakeHost.playlistFiles[position] = units;
}

void fakeHostSetTag(const std::u16string &path, const std::u16string &name, const std::u16string &value)
{
    fakeHost.tags[std::make_pair(path, name)] = value;
}

int fakeHostFileLookups()
{
    return fakeHost.pointerQueries[HOST_QUERY_PLAYLIST_FILE];
}

int fakeHostTagLookups()
{
    return fakeHost.pointerQueries[HOST_QUERY_FILE_TAG];
}

static char *fakeVisualData()
{
    fakeHost.spectrumReads++;
    return fakeHost.spectrumDataNull ? nullptr : fakeHost.visualData;
}

static void fakeVisualStart(int start)
{
    fakeHost.spectrumStarts++;
    fakeHost.lastStartArgument = start;
}

static int fakeVuLevel(int channel)
{
    fakeHost.vuReads++;
    if (channel < 0 || channel >= VU_CHANNELS) {
        fakeHost.badVuChannels++;
        return VU_NO_LEVEL;
    }
    return fakeHost.vuLevels[channel];
}

// Fills the request as the player does: the value cut to the buffer and
// terminated, or, unterminated, as many units as fit.
static intptr_t fakeFileTag(HostTagRequest *request)
{
    std::u16string name(request->tagName);
    fakeHost.tagNamesAsked.push_back(name);
    fakeHost.tagValueSizes.push_back(request->valueSize);
    auto it = fakeHost.tags.find(std::make_pair(std::u16string(request->file), name));
    if (it == fakeHost.tags.end() || request->valueSize == 0)
        return 0;
    const std::u16string &value = it->second;
    size_t room = fakeHost.tagFillUnterminated ? request->valueSize : request->valueSize - 1;
    size_t n = std::min(value.size(), room);
    std::copy(value.begin(), value.begin() + n, request->value);
    if (!fakeHost.tagFillUnterminated)
        request->value[n] = 0;
    return 1;
}

intptr_t hostQueryPointer(int code, intptr_t wParam)
{
    fakeHost.pointerQueries[code]++;
    switch (code) {
    case HOST_QUERY_VISUAL_DATA:
        if (wParam == HOST_VISUAL_DATA_FUNCTION && fakeHost.offersSpectrum)
            return reinterpret_cast<intptr_t>(&fakeVisualData);
        if (wParam == HOST_VISUAL_START_FUNCTION && fakeHost.offersSpectrumStart)
            return reinterpret_cast<intptr_t>(&fakeVisualStart);
        return 0;
    case HOST_QUERY_VU_LEVEL:
        if (wParam == HOST_VU_LEVEL_FUNCTION && fakeHost.offersVu)
            return reinterpret_cast<intptr_t>(&fakeVuLevel);
        return 0;
    case HOST_QUERY_PLAYLIST_FILE: {
        auto it = fakeHost.playlistFiles.find((int)wParam);
        if (it == fakeHost.playlistFiles.end() || it->second.empty())
            return 0;
        return reinterpret_cast<intptr_t>(it->second.data());
    }
    case HOST_QUERY_FILE_TAG:
        return fakeFileTag(reinterpret_cast<HostTagRequest *>(wParam));
    default: {
        auto it = fakeHost.answers.find(std::make_pair(code, (int)wParam));
        return it == fakeHost.answers.end() ? 0 : it->second;
    }
    }
}
