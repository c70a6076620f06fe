// Host-simulator scenarios: one step a line, UTF-8; '#' starts a comment
// line and blank lines are ignored.
#pragma once

#include <string>
#include <vector>

struct Step {
    int line;                 // 1-based line in the scenario file
    std::string verb;         // "tick", "title", ...
    std::string text;         // rest of the line after the verb and one space
    std::vector<std::string> words; // the rest split on spaces
};

// Parses scenario text. On an unknown verb or a malformed step, returns
// false with a message naming the line.
bool parseScenario(const std::string &text, std::vector<Step> *steps, std::string *error);

// Decimal or 0x hex; false when the word is not a number.
bool parseNumber(const std::string &word, long long *value);
