// A stand-in for the host player behind the status sampler's host seam:
// a window title, a table of query answers, the player's visual data,
// levels, paths and tags (hostile ones too), and a record of what was asked.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host.h"

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

    // The pointer-sized answers, given as the host gives them: real
    // functions for the visual data and levels, the player's own memory for
    // paths. All off (answer 0) until a test offers them.
    bool offersSpectrum;      // 800/0 answers the data function
    bool offersSpectrumStart; // 800/1 answers the start function
    bool spectrumDataNull;    // the data function gives no data
    char visualData[SPECTRUM_BANDS + OSCILLOSCOPE_SAMPLES];
    bool offersVu;            // 801/0 answers the level function
    int vuLevels[VU_CHANNELS]; // as the level function answers, unclamped
    // Paths by playlist position: exactly these units, no terminator added
    // (a test adds it), so a read past them is a heap overflow.
    std::map<int, std::vector<char16_t>> playlistFiles;
    // Tags by (path, name); a tag missing from the table answers 0. A filled
    // answer copies the value cut to the buffer and terminates it, or with
    // tagFillUnterminated copies as many units as fit and no terminator.
    std::map<std::pair<std::u16string, std::u16string>, std::u16string> tags;
    bool tagFillUnterminated;

    std::map<int, int> pointerQueries; // code -> times asked
    int spectrumStarts;                // calls of the start function
    int lastStartArgument;
    int spectrumReads;                 // calls of the data function
    int vuReads;                       // calls of the level function
    int badVuChannels;                 // of them, with a channel not 0 or 1
    std::vector<std::u16string> tagNamesAsked; // in order
    std::vector<size_t> tagValueSizes;         // the buffer each ask offered
};

extern FakeHost fakeHost;

// Empty title, no answers, nothing recorded.
void fakeHostReset();

void fakeHostAnswer(int code, int wParam, int answer);

// The path at position as the player holds it: text, then a terminator
// unless terminated is false.
void fakeHostSetPlaylistFile(int position, const std::u16string &text, bool terminated = true);

void fakeHostSetTag(const std::u16string &path, const std::u16string &name, const std::u16string &value);

// Lookups of paths and tags (214 and 3026) asked so far.
int fakeHostFileLookups();
int fakeHostTagLookups();
