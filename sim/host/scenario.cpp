#include "scenario.h"

#include <cstdlib>
#include <sstream>

struct VerbShape {
    const char *verb;
    int minWords;
    int maxWords; // -1: free text
};

static const VerbShape VERBS[] = {
    {"lpt", 1, 1},     {"control", 1, 1},    {"driver", 1, 1}, {"install", 2, 2},
    {"remove", 1, 1},  {"title", 0, -1},     {"play-title", 0, -1},
    {"answer", 2, 3},  {"start", 0, 0},      {"tick", 0, 1},   {"timer", 1, 1},
    {"config", 0, 0},  {"click", 1, 1},      {"close", 0, 0},  {"end", 0, 0},
    {"quit", 0, 0},    {"unload", 0, 0},     {"snapshot", 1, 1},
    {"subclass", 0, 0}, {"destroy-window", 0, 0}, {"inspect", 0, 0},
    {"folder", 1, 1},  {"mkdir", 1, 1},      {"lock", 1, 1},
    {"counts", 1, 1}, // running totals of port accesses and latched bytes
    {"dispatch-times", 1, 1}, // the host's thread time in the plug-in's timer messages
    {"watch-window", 0, 0}, {"close-window", 0, 0}, {"modal-loop", 1, 3},
    {"listed-port", 2, 2}, {"fault-during-probe", 0, 0}, {"focus", 1, 1}, {"key", 1, 1},
    // the virtual panel's window (sim/host/panel_steps.cpp)
    {"panel-paint", 1, 1}, {"panel-close", 0, 0}, {"panel-menu", 1, 2}, {"panel-key", 1, 1},
    {"panel-clipboard", 0, 0}, {"panel-save", 1, 1}, {"panel-stats", 1, 1}, {"panel-free", 0, 0},
    {"panel-end", 0, 0}, {"panel-notice", 0, -1},
    // time, the module's power and the plug-in's threads (timer_steps.cpp,
    // clock_step.cpp; the clock's words are checked by the step)
    {"wait", 1, 1}, {"module-reset", 0, 0}, {"clock", 0, -1},
    // the player's visualisation data, levels, playing file and tags
    // (host_ipc.cpp; their numbers are checked below)
    {"spectrum", 0, -1}, {"spectrum-null", 0, 0}, {"vu", 2, 2}, {"no-visual", 0, 0},
    {"file", 1, -1}, {"file-unterminated", 0, 0}, {"tag", 1, -1}, {"tag-unterminated", 2, -1},
    {"tag-long", 2, 2},
};

// The player's interface: 75 spectrum values of 0-255 and levels of -1..255.
enum { SPECTRUM_VALUES = 75, LONGEST_TAG = 1000000 };

static bool numberWithin(const std::string &word, long long lowest, long long highest)
{
    long long value;
    return parseNumber(word, &value) && value >= lowest && value <= highest;
}

// The numbers of the spectrum, vu and tag-long steps; "" when they fit.
static std::string numbersProblem(const Step &step)
{
    if (step.verb == "spectrum") {
        if (step.words.size() > SPECTRUM_VALUES)
            return "more than 75 spectrum values";
        for (const std::string &word : step.words)
            if (!numberWithin(word, 0, 255))
                return "spectrum value '" + word + "' is not a number from 0 to 255";
    } else if (step.verb == "vu") {
        for (const std::string &word : step.words)
            if (!numberWithin(word, -1, 255))
                return "level '" + word + "' is not a number from -1 to 255";
    } else if (step.verb == "tag-long") {
        if (!numberWithin(step.words[1], 1, LONGEST_TAG))
            return "tag length '" + step.words[1] + "' is not a number from 1 to 1000000";
    }
    return "";
}

bool parseNumber(const std::string &word, long long *value)
{
    if (word.empty())
        return false;
    char *end = nullptr;
    long long parsed = std::strtoll(word.c_str(), &end, 0);
    if (end == nullptr || *end != '\0')
        return false;
    *value = parsed;
    return true;
}

static const VerbShape *findVerb(const std::string &verb)
{
    for (const VerbShape &shape : VERBS)
        if (verb == shape.verb)
            return &shape;
    return nullptr;
}

bool parseScenario(const std::string &text, std::vector<Step> *steps, std::string *error)
{
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        Step step;
        step.line = number;
        size_t verbEnd = line.find(' ', first);
        step.verb = line.substr(first, verbEnd == std::string::npos ? std::string::npos : verbEnd - first);
        if (verbEnd != std::string::npos)
            step.text = line.substr(verbEnd + 1);
        std::istringstream words(step.text);
        std::string word;
        while (words >> word)
            step.words.push_back(word);

        const VerbShape *shape = findVerb(step.verb);
        if (shape == nullptr) {
            *error = "line " + std::to_string(number) + ": unknown step '" + step.verb + "'";
            return false;
        }
        int count = (int)step.words.size();
        if (count < shape->minWords || (shape->maxWords >= 0 && count > shape->maxWords)) {
            *error = "line " + std::to_string(number) + ": wrong number of arguments for '" + step.verb + "'";
            return false;
        }
        std::string problem = numbersProblem(step);
        if (!problem.empty()) {
            *error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        steps->push_back(step);
    }
    return true;
}
