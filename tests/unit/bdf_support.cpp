#include "bdf_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace bdf_test {

std::string bdfFont(const std::vector<BdfGlyph> &glyphs, int height, int ascent)
{
    int descent = height - ascent;
    std::ostringstream bdf;
    bdf << "STARTFONT 2.1\n"
           "FONT -Test-Fixed-Medium-R-Normal--"
        << height << "-" << height * 10 << "-75-75-C-60-ISO10646-1\n"
        << "SIZE " << height << " 75 75\n"
        << "FONTBOUNDINGBOX 40 " << height << " 0 -" << descent << "\n"
        << "STARTPROPERTIES 4\nFONT_ASCENT " << ascent << "\nFONT_DESCENT " << descent << "\n"
        << "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\n"
        << "CHARS " << glyphs.size() << "\n";
    for (const BdfGlyph &glyph : glyphs) {
        bdf << "STARTCHAR U" << glyph.code << "\nENCODING " << glyph.code << "\nSWIDTH 500 0\nDWIDTH "
            << glyph.advance << " 0\nBBX " << glyph.width << " " << glyph.hexRows.size() << " 0 -" << descent
            << "\nBITMAP\n";
        for (const std::string &row : glyph.hexRows)
            bdf << row << "\n";
        bdf << "ENDCHAR\n";
    }
    bdf << "ENDFONT\n";
    return bdf.str();
}

std::vector<std::string> rowsOf(const std::string &hex, int count)
{
    return std::vector<std::string>(count, hex);
}

void ToolFolderTest::SetUp()
{
    folder = std::filesystem::temp_directory_path() /
             ("pixelvane-tool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

void ToolFolderTest::TearDown()
{
    std::filesystem::remove_all(folder);
}

void ToolFolderTest::write(const std::string &name, const std::string &text)
{
    std::ofstream(folder / name, std::ios::binary) << text;
}

ToolRun ToolFolderTest::runTool(const std::string &options, const std::string &descriptionName,
                                const std::string &description, const std::filesystem::path &output)
{
    write(descriptionName, description);
    std::filesystem::path errors = folder / "stderr.txt";
    std::string command = std::string("\"") + PIXELVANE_MAKE_FONTS + "\" " + options + "\"" +
                          (folder / descriptionName).string() + "\" \"" + folder.string() + "\" \"" +
                          output.string() + "\" >/dev/null 2>\"" + errors.string() + "\"";
    int raw = std::system(command.c_str());
    std::ifstream in(errors);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ToolRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text};
}

} // namespace bdf_test
