// The description of the fonts to convert: one font a line, its C++ name,
// its file and the code points taken from it, as
//   FONT_ROW  7x14.pcf.gz  U+0020-007E U+00A0-017F U+20AC
// '#' starts a comment. Shared by the writers of the font tables.
#pragma once

#include <string>
#include <vector>

struct CodePointRange {
    char32_t first;
    char32_t last; // included
};

struct FontListEntry {
    std::string name; // a C++ identifier
    std::string file; // relative to the font folder
    std::vector<CodePointRange> ranges;
    int line;
};

// Reads the description; refuses, with the file and line in error, a line
// without ranges, a name that is no identifier or comes twice, and a range
// that is malformed, backwards or past U+10FFFF.
bool readFontList(const std::string &path, std::vector<FontListEntry> *entries, std::string *error);
