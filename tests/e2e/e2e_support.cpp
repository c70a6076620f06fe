#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        result.push_back(line);
    }
    return result;
}

int countLines(const std::vector<std::string> &lines, const std::string &line)
{
    int count = 0;
    for (const std::string &l : lines)
        count += l == line;
    return count;
}

int countPrefix(const std::vector<std::string> &lines, const std::string &prefix)
{
    int count = 0;
    for (const std::string &l : lines)
        count += l.compare(0, prefix.size(), prefix) == 0;
    return count;
}

int findLine(const std::vector<std::string> &lines, const std::string &line, int from)
{
    for (int i = from; i < (int)lines.size(); i++)
        if (lines[i] == line)
            return i;
    return -1;
}

std::string sourcePath(const std::string &relative)
{
    return std::string(PIXELVANE_SOURCE_DIR) + "/" + relative;
}

std::string win32Path(const std::string &relative)
{
    return std::string(PIXELVANE_WIN32_DIR) + "/" + relative;
}

std::vector<std::string> ScenarioRun::events() const { return lines(readFile(outDir + "/events.txt")); }
std::vector<std::string> ScenarioRun::transfers() const { return lines(readFile(outDir + "/transfers.txt")); }
std::vector<std::string> ScenarioRun::ports() const { return lines(readFile(outDir + "/ports.txt")); }

std::string ScenarioRun::textRow(const std::string &snapshot, int row) const
{
    std::vector<std::string> rows = lines(readFile(outDir + "/" + snapshot + ".txt"));
    return row < (int)rows.size() ? rows[row] : std::string();
}

std::vector<unsigned char> ScenarioRun::ram(const std::string &snapshot) const
{
    std::string bytes = readFile(outDir + "/" + snapshot + ".ram");
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

bool ScenarioRun::pixel(const std::string &snapshot, int x, int y) const
{
    std::istringstream in(readFile(outDir + "/" + snapshot + ".pbm"));
    std::string magic;
    int width = 0, height = 0;
    in >> magic >> width >> height;
    char c;
    int index = 0, wanted = y * width + x;
    while (in >> c) {
        if (c == '#') {
            std::string comment;
            std::getline(in, comment);
            continue;
        }
        if (index++ == wanted)
            return c == '1';
    }
    return false;
}

std::string ScenarioRun::pluginFile(const std::string &name) const
{
    return readFile(outDir + "/plugins/" + name);
}

bool ScenarioRun::hasPluginFile(const std::string &name) const
{
    struct stat status;
    return stat((outDir + "/plugins/" + name).c_str(), &status) == 0;
}

static std::string shellQuoted(const std::string &text)
{
    return "'" + text + "'";
}

static ScenarioRun runScenarioFile(const std::string &name, const std::string &scenario,
                                   const std::string &hostLocale = "")
{
    ScenarioRun run;
    run.outDir = std::string(E2E_OUTPUT_DIR) + "/" + name;
    std::string errors = std::string(E2E_OUTPUT_DIR) + "/" + name + ".stderr";
    std::string command = "PIXELVANE_NO_BUILD=1 PIXELVANE_HOST_LOCALE=" + shellQuoted(hostLocale) +
                          " PIXELVANE_WIN32_BUILD=" + shellQuoted(PIXELVANE_WIN32_DIR) + " " +
                          shellQuoted(sourcePath("scripts/host-sim")) + " " + shellQuoted(scenario) + " " +
                          shellQuoted(run.outDir) + " >/dev/null 2>" + shellQuoted(errors);
    int status = std::system(command.c_str());
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errorOutput = readFile(errors);
    return run;
}

ScenarioRun runScenario(const std::string &name)
{
    std::system(("mkdir -p " + shellQuoted(E2E_OUTPUT_DIR)).c_str());
    return runScenarioFile(name, sourcePath("tests/e2e/" + name + ".scn"));
}

ScenarioRun runScenarioText(const std::string &name, const std::string &text, const std::string &hostLocale)
{
    std::system(("mkdir -p " + shellQuoted(E2E_OUTPUT_DIR)).c_str());
    std::string path = std::string(E2E_OUTPUT_DIR) + "/" + name + ".scn";
    std::ofstream(path) << text;
    return runScenarioFile(name, path, hostLocale);
}

void writeScenarioFile(const std::string &name, const std::string &content)
{
    std::system(("mkdir -p " + shellQuoted(E2E_OUTPUT_DIR)).c_str());
    std::ofstream(std::string(E2E_OUTPUT_DIR) + "/" + name, std::ios::binary) << content;
}

std::vector<std::string> settingsEntries(const std::string &ini)
{
    std::vector<std::string> entries;
    bool inSection = false;
    for (const std::string &line : lines(ini)) {
        if (!line.empty() && line[0] == '[')
            inSection = line == "[Pixelvane]";
        else if (inSection && !line.empty())
            entries.push_back(line);
    }
    return entries;
}

Lines linesBefore(const Lines &lines, const std::string &marker)
{
    int end = findLine(lines, marker);
    return Lines(lines.begin(), end < 0 ? lines.end() : lines.begin() + end);
}

Lines linesAfter(const Lines &lines, const std::string &marker)
{
    int at = findLine(lines, marker);
    return at < 0 ? Lines() : Lines(lines.begin() + at + 1, lines.end());
}

Lines buttonStates(const ScenarioRun &run)
{
    Lines states;
    for (const std::string &line : run.events())
        if (line.compare(0, 7, "button ") == 0)
            states.push_back(line.substr(7));
    return states;
}

void expectHostUnharmed(const ScenarioRun &run)
{
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    Lines events = run.events();
    EXPECT_EQ(countPrefix(events, "crash "), 0);
    EXPECT_EQ(countPrefix(events, "exit "), 0);
}

void expectCleanRun(const ScenarioRun &run)
{
    expectHostUnharmed(run);
    EXPECT_EQ(countPrefix(run.events(), "fault "), 0);
}
