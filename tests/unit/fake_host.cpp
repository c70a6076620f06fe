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
