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
};

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
        steps->push_back(step);
    }
    return true;
}
