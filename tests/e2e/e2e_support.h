// Running host-simulator scenarios and reading what they left behind.
#pragma once

#include <string>
#include <utility>
#include <vector>

typedef std::vector<std::string> Lines;

struct ScenarioRun {
    std::string outDir;
    int exitStatus;
    std::string errorOutput;

    std::vector<std::string> events() const;
    std::vector<std::string> transfers() const;
    std::vector<std::string> ports() const;
    std::string textRow(const std::string &snapshot, int row) const;   // 40 characters
    std::vector<unsigned char> ram(const std::string &snapshot) const; // 8192 bytes
    bool pixel(const std::string &snapshot, int x, int y) const;       // from NAME.pbm
    std::vector<bool> panel(const std::string &snapshot) const;        // NAME.pbm, row by row
    // NAME.pbm's width and height as its header gives them (0, 0 without one).
    std::pair<int, int> panelSize(const std::string &snapshot) const;
    std::string pluginFile(const std::string &name) const;             // "" when absent
    bool hasPluginFile(const std::string &name) const;
};

// Runs tests/e2e/NAME.scn into its own output folder. Every scenario runs
// twice: as it is (the run returned) and again with "Fast Bus=1" added to
// plugin.ini before start, into NAME.fast-bus; the second must leave the
// same display RAM and panel at every snapshot (and at the end of the run),
// end the same way, and see no protocol fault.
ScenarioRun runScenario(const std::string &name);
// Runs a scenario given as text (written to the output folder first), in
// both modes as above; hostLocale, when given, sets the host's ANSI code
// page (ru_RU.UTF-8 gives 1251).
ScenarioRun runScenarioText(const std::string &name, const std::string &text,
                            const std::string &hostLocale = "");
// Runs the scenario file at a path of the source tree, in both modes.
ScenarioRun runScenarioAt(const std::string &name, const std::string &relativePath);
enum { PANEL_PIXELS_PER_ROW = 240 }; // the default module's; pixel() reads each PBM's own width

// Runs a scenario given as text once, with these "KEY=VALUE" lines added to
// plugin.ini before start.
ScenarioRun runScenarioTextWith(const std::string &name, const std::string &text,
                                const std::vector<std::string> &settings, const std::string &hostLocale = "");
// Runs a scenario given as text once, with the fast bus on.
ScenarioRun runFastBusScenarioText(const std::string &name, const std::string &text);
// Runs a scenario given as text once, with the classic bus only: for a
// session whose port moves at run time to a module the classic bus never
// set up, where the fast bus rightly sets it up and so draws more (and
// sees none of the faults such a module makes the classic bus meet).
ScenarioRun runClassicBusScenarioText(const std::string &name, const std::string &text);
// Runs a scenario given as text once, on the host's threaded probe in place
// of the plug-in (sim/host/probe: a port thread of its own, a thread timer,
// the local time in its frame, drawn on text row 0); the scenario's first
// step puts the probe into the plug-in folder.
ScenarioRun runProbeScenarioText(const std::string &name, const std::string &text);
// The snapshot every run writes at its end, however it ends.
extern const char END_OF_RUN[];
// "counts" lines of the events log: the accesses between two labels.
long long accessesBetween(const ScenarioRun &run, const std::string &from, const std::string &to);
// The events logged between the counts lines of two labels ("" for from:
// since the run began; "" for to: until it ended).
Lines eventsBetween(const ScenarioRun &run, const std::string &from, const std::string &to);

std::string readFile(const std::string &path);
std::vector<std::string> lines(const std::string &text);
int countLines(const std::vector<std::string> &lines, const std::string &line);
int countPrefix(const std::vector<std::string> &lines, const std::string &prefix);
// Index of the first line equal to `line` at or after `from`, or -1.
int findLine(const std::vector<std::string> &lines, const std::string &line, int from = 0);
// The shared folder of test files (pictures, settings files).
std::string sourcePath(const std::string &relative);
// A file of the Windows tree under test, and one in the results folder.
std::string windowsTree();
std::string windowsTreePath(const std::string &relative);
std::string outputPath(const std::string &relative);
// What objdump -p prints of a PE image, or "" when it cannot read it.
std::string peDump(const std::string &file);
// Writes a file beside the inline scenarios, for their install steps.
void writeScenarioFile(const std::string &name, const std::string &content);
// The keys of section [Pixelvane] in an INI text, in file order, as
// "key=value".
std::vector<std::string> settingsEntries(const std::string &ini);
// The lines before the first `marker` (all of them when it is missing), and
// the lines after it (none when it is missing).
Lines linesBefore(const Lines &lines, const std::string &marker);
Lines linesAfter(const Lines &lines, const std::string &marker);
// The dialog's check boxes and radio buttons as an inspect step logged
// them: "ID STATE".
Lines buttonStates(const ScenarioRun &run);
// The run ended normally: status 0, no unhandled fault, no process exit
// by the plug-in.
void expectHostUnharmed(const ScenarioRun &run);
// As above, and the emulator saw no protocol fault either.
void expectCleanRun(const ScenarioRun &run);
