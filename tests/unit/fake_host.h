// A stand-in for the host player behind the status sampler's host seam:
// a window title, a table of query answers, and a record of what was asked.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

struct FakeHost {
    std::string title;
    // A Unicode window's title; empty for an ANSI window.
    std::u16string unicodeTitle;
    // When set, the play command replaces title with titleAfterPlay.
    bool switchTitleOnPlay;
    std::string titleAfterPlay;
    std::map<std::pair<int, int>, int> answers; // (code, wParam) -> answer; missing = 0
    std::vector<std::pair<int, int>> queries;   // every query, in order
    int titleReads;
    int playCommands;
};

extern FakeHost fakeHost;

// Empty title, no answers, nothing recorded.
void fakeHostReset();

void fakeHostAnswer(int code, int wParam, int answer);
