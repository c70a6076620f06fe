#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
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

// The Windows tree whose files the scenarios run (the win32 tree unless
// PIXELVANE_E2E_WINDOWS_DIR names another), and the folder their results go
// to (PIXELVANE_E2E_OUT, so two trees' runs can sit side by side).
static std::string fromEnvironment(const char *name, const char *fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::string windowsTree() { return fromEnvironment("PIXELVANE_E2E_WINDOWS_DIR", PIXELVANE_WIN32_DIR); }

std::string windowsTreePath(const std::string &relative) { return windowsTree() + "/" + relative; }

std::string outputPath(const std::string &relative)
{
    return fromEnvironment("PIXELVANE_E2E_OUT", E2E_OUTPUT_DIR) + "/" + relative;
}

std::string peDump(const std::string &file)
{
    // The 64-bit binutils read 32-bit images too.
    FILE *pipe = popen(("x86_64-w64-mingw32-objdump -p '" + file + "'").c_str(), "r");
    if (!pipe)
        return "";
    std::string dump;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        dump.append(buffer, count);
    return pclose(pipe) == 0 ? dump : "";
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

std::vector<bool> ScenarioRun::panel(const std::string &snapshot) const
{
    std::istringstream in(readFile(outDir + "/" + snapshot + ".pbm"));
    std::string magic;
    int width = 0, height = 0;
    in >> magic >> width >> height;
    std::vector<bool> pixels;
    char c;
    while (in >> c) {
        if (c == '#') {
            std::string comment;
            std::getline(in, comment);
            continue;
        }
        pixels.push_back(c == '1');
    }
    return pixels;
}

std::pair<int, int> ScenarioRun::panelSize(const std::string &snapshot) const
{
    std::istringstream in(readFile(outDir + "/" + snapshot + ".pbm"));
    std::string magic;
    int width = 0, height = 0;
    if (!(in >> magic >> width >> height) || magic != "P1")
        return std::make_pair(0, 0);
    return std::make_pair(width, height);
}

bool ScenarioRun::pixel(const std::string &snapshot, int x, int y) const
{
    std::vector<bool> pixels = panel(snapshot);
    int width = panelSize(snapshot).first;
    if (x < 0 || y < 0 || x >= width)
        return false;
    size_t index = (size_t)y * width + x;
    return index < pixels.size() && pixels[index];
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

const char END_OF_RUN[] = "end-of-run";
static const char FAST_BUS_SETTING[] = "Fast Bus=1";
static const char FAST_BUS_SUFFIX[] = ".fast-bus";

static ScenarioRun runHostSim(const std::string &name, const std::string &scenario, const std::string &options,
                              const std::string &hostLocale = "")
{
    ScenarioRun run;
    run.outDir = outputPath(name);
    std::string errors = outputPath(name) + ".stderr";
    std::string command = "PIXELVANE_NO_BUILD=1 PIXELVANE_HOST_LOCALE=" + shellQuoted(hostLocale) +
                          " PIXELVANE_WINDOWS_BUILD=" + shellQuoted(windowsTree()) + " " +
                          shellQuoted(sourcePath("scripts/host-sim")) + " " + shellQuoted(scenario) + " " +
                          shellQuoted(run.outDir) + " --end-snapshot " + END_OF_RUN + options + " >/dev/null 2>" +
                          shellQuoted(errors);
    int status = std::system(command.c_str());
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errorOutput = readFile(errors);
    return run;
}

static std::vector<std::string> snapshotNames(const ScenarioRun &run)
{
    std::vector<std::string> names;
    DIR *folder = opendir(run.outDir.c_str());
    if (folder == nullptr)
        return names;
    while (dirent *entry = readdir(folder)) {
        std::string file = entry->d_name;
        if (file.size() > 4 && file.compare(file.size() - 4, 4, ".ram") == 0)
            names.push_back(file.substr(0, file.size() - 4));
    }
    closedir(folder);
    return names;
}

// The fast bus draws what the classic bus draws: display RAM (text area,
// graphics area and the rest) and the panel, at every snapshot.
static void expectSameDisplay(const std::string &name, const ScenarioRun &classic, const ScenarioRun &fast)
{
    SCOPED_TRACE("scenario " + name + " with " + FAST_BUS_SETTING);
    EXPECT_EQ(fast.exitStatus, classic.exitStatus) << fast.errorOutput;
    for (const std::string &line : fast.events())
        EXPECT_NE(line.compare(0, 6, "fault "), 0) << line;
    std::vector<std::string> snapshots = snapshotNames(classic);
    EXPECT_FALSE(snapshots.empty()) << "not even the end-of-run snapshot";
    for (const std::string &snapshot : snapshots) {
        std::vector<unsigned char> classicRam = classic.ram(snapshot);
        std::vector<unsigned char> fastRam = fast.ram(snapshot);
        ASSERT_EQ(fastRam.size(), classicRam.size()) << "snapshot " << snapshot;
        for (size_t address = 0; address < classicRam.size(); address++)
            if (fastRam[address] != classicRam[address]) {
                ADD_FAILURE() << "snapshot " << snapshot << ": RAM " << std::hex << address << " holds "
                              << (int)fastRam[address] << ", the classic bus left " << (int)classicRam[address];
                break;
            }
        EXPECT_TRUE(readFile(fast.outDir + "/" + snapshot + ".pbm") == readFile(classic.outDir + "/" + snapshot + ".pbm"))
            << "snapshot " << snapshot << ": the panels differ";
    }
}

// The fast run goes first into the same folder as the classic one, and is
// then moved aside: a path the plug-in prints (a missing picture) must be
// the same in both.
static ScenarioRun runScenarioFile(const std::string &name, const std::string &scenario,
                                   const std::string &hostLocale = "")
{
    ScenarioRun fast =
        runHostSim(name, scenario, std::string(" --setting ") + shellQuoted(FAST_BUS_SETTING), hostLocale);
    std::string aside = fast.outDir + FAST_BUS_SUFFIX;
    std::system(("rm -rf " + shellQuoted(aside) + " && mv " + shellQuoted(fast.outDir) + " " + shellQuoted(aside)).c_str());
    fast.outDir = aside;
    ScenarioRun classic = runHostSim(name, scenario, "", hostLocale);
    expectSameDisplay(name, classic, fast);
    return classic;
}

ScenarioRun runScenario(const std::string &name)
{
    std::system(("mkdir -p " + shellQuoted(outputPath(""))).c_str());
    return runScenarioFile(name, sourcePath("tests/e2e/" + name + ".scn"));
}

ScenarioRun runScenarioAt(const std::string &name, const std::string &relativePath)
{
    std::system(("mkdir -p " + shellQuoted(outputPath(""))).c_str());
    return runScenarioFile(name, sourcePath(relativePath));
}

static std::string writtenScenario(const std::string &name, const std::string &text)
{
    std::system(("mkdir -p " + shellQuoted(outputPath(""))).c_str());
    std::string path = outputPath(name) + ".scn";
    std::ofstream(path) << text;
    return path;
}

ScenarioRun runScenarioText(const std::string &name, const std::string &text, const std::string &hostLocale)
{
    return runScenarioFile(name, writtenScenario(name, text), hostLocale);
}

ScenarioRun runFastBusScenarioText(const std::string &name, const std::string &text)
{
    return runHostSim(name, writtenScenario(name, text), std::string(" --setting ") + shellQuoted(FAST_BUS_SETTING));
}

ScenarioRun runClassicBusScenarioText(const std::string &name, const std::string &text)
{
    return runHostSim(name, writtenScenario(name, text), "");
}

ScenarioRun runScenarioTextWith(const std::string &name, const std::string &text,
                                const std::vector<std::string> &settings, const std::string &hostLocale)
{
    std::string options;
    for (const std::string &setting : settings)
        options += " --setting " + shellQuoted(setting);
    return runHostSim(name, writtenScenario(name, text), options, hostLocale);
}

ScenarioRun runProbeScenarioText(const std::string &name, const std::string &text)
{
    writeScenarioFile("threaded-probe.dll", readFile(windowsTreePath("sim-probe/threaded-probe.dll")));
    return runHostSim(name, writtenScenario(name, "install gen_pixelvane.dll threaded-probe.dll\n" + text), "");
}

long long accessesBetween(const ScenarioRun &run, const std::string &from, const std::string &to)
{
    long long at[2] = {-1, -1};
    const std::string labels[2] = {from, to};
    for (const std::string &line : run.events())
        for (int i = 0; i < 2; i++) {
            std::string prefix = "counts " + labels[i] + " accesses ";
            if (line.compare(0, prefix.size(), prefix) == 0)
                at[i] = std::atoll(line.c_str() + prefix.size());
        }
    EXPECT_GE(at[0], 0) << "no counts " << from;
    EXPECT_GE(at[1], 0) << "no counts " << to;
    return at[1] - at[0];
}

static int countsLine(const Lines &events, const std::string &label)
{
    std::string prefix = "counts " + label + " accesses ";
    for (size_t i = 0; i < events.size(); i++)
        if (events[i].compare(0, prefix.size(), prefix) == 0)
            return (int)i;
    ADD_FAILURE() << "no counts " << label;
    return -1;
}

Lines eventsBetween(const ScenarioRun &run, const std::string &from, const std::string &to)
{
    Lines events = run.events();
    int begin = from.empty() ? -1 : countsLine(events, from);
    int end = to.empty() ? (int)events.size() : countsLine(events, to);
    if (end < 0 || begin >= end)
        return Lines();
    return Lines(events.begin() + begin + 1, events.begin() + end);
}

void writeScenarioFile(const std::string &name, const std::string &content)
{
    std::system(("mkdir -p " + shellQuoted(outputPath(""))).c_str());
    std::ofstream(outputPath(name), std::ios::binary) << content;
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
