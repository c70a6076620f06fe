#include "font_list.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

static const char32_t LAST_CODE_POINT = 0x10FFFF;

static bool isIdentifier(const std::string &word)
{
    if (word.empty() || std::isdigit((unsigned char)word[0]))
        return false;
    for (char c : word)
        if (!std::isalnum((unsigned char)c) && c != '_')
            return false;
    return true;
}

static bool parseHex(const std::string &text, char32_t *value)
{
    if (text.empty() || text.size() > 6)
        return false;
    for (char c : text)
        if (!std::isxdigit((unsigned char)c))
            return false;
    *value = (char32_t)std::strtoul(text.c_str(), nullptr, 16);
    return *value <= LAST_CODE_POINT;
}

// "U+0020-007E" or "U+20AC".
static bool parseRange(const std::string &word, CodePointRange *range)
{
    if (word.size() < 3 || word.compare(0, 2, "U+") != 0)
        return false;
    std::string rest = word.substr(2);
    size_t dash = rest.find('-');
    if (dash == std::string::npos) {
        if (!parseHex(rest, &range->first))
            return false;
        range->last = range->first;
        return true;
    }
    return parseHex(rest.substr(0, dash), &range->first) && parseHex(rest.substr(dash + 1), &range->last) &&
           range->first <= range->last;
}

bool readFontList(const std::string &path, std::vector<FontListEntry> *entries, std::string *error)
{
    std::ifstream in(path);
    if (!in) {
        *error = path + ": cannot read it";
        return false;
    }
    entries->clear();
    std::string text;
    for (int lineNumber = 1; std::getline(in, text); lineNumber++) {
        std::string where = path + ":" + std::to_string(lineNumber) + ": ";
        size_t comment = text.find('#');
        if (comment != std::string::npos)
            text.erase(comment);
        std::istringstream words(text);
        FontListEntry entry;
        entry.line = lineNumber;
        if (!(words >> entry.name))
            continue;
        if (!isIdentifier(entry.name)) {
            *error = where + "'" + entry.name + "' is not a C++ name";
            return false;
        }
        for (const FontListEntry &earlier : *entries)
            if (earlier.name == entry.name) {
                *error = where + entry.name + " is named already on line " + std::to_string(earlier.line);
                return false;
            }
        if (!(words >> entry.file)) {
            *error = where + entry.name + " has no font file";
            return false;
        }
        std::string word;
        while (words >> word) {
            CodePointRange range;
            if (!parseRange(word, &range)) {
                *error = where + "'" + word + "' is not a range of code points (U+XXXX or U+XXXX-YYYY, up to U+10FFFF)";
                return false;
            }
            entry.ranges.push_back(range);
        }
        if (entry.ranges.empty()) {
            *error = where + entry.name + " takes no code points";
            return false;
        }
        entries->push_back(entry);
    }
    if (entries->empty()) {
        *error = path + ": names no font";
        return false;
    }
    return true;
}
