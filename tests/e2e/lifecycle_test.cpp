// The plug-in's life in the host: start-up, ticks, shut-down and unload.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <strings.h>

TEST(Lifecycle, StartTicksQuitAndUnloadRunToTheEnd)
{
    ScenarioRun run = runScenario("lifecycle");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    std::vector<std::string> events = run.events();

    EXPECT_EQ(countLines(events, "init 0"), 1);
    EXPECT_EQ(countLines(events, "description Pixelvane Plug-In v1.1 (gen_pixelvane.dll)"), 1);
    EXPECT_EQ(countLines(events, "settimer 1 250"), 1);
    EXPECT_EQ(countLines(events, "killtimer 1"), 1);
    EXPECT_EQ(countLines(events, "wndproc restored"), 1);
    EXPECT_EQ(countPrefix(events, "fault "), 0);
    EXPECT_EQ(countPrefix(events, "exit "), 0);
    EXPECT_NE(findLine(events, "messages after unload delivered"), -1);

    // Every tick, and the timer of another id, reached the host's own
    // procedure with its arguments unchanged.
    std::vector<std::string> beforeUnload = linesBefore(events, "unload");
    EXPECT_EQ(countLines(beforeUnload, "received timer 1 0"), 4);
    EXPECT_EQ(countLines(beforeUnload, "received timer 7 0"), 1);
    EXPECT_LT(findLine(events, "settimer 1 250"), findLine(events, "received timer 1 0"));
    EXPECT_LT(findLine(events, "received timer 7 0"), findLine(events, "killtimer 1"));
}

TEST(Lifecycle, FirstPortAccessesPutTheControlLinesIdle)
{
    ScenarioRun run = runScenario("lifecycle");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    std::vector<std::string> ports = run.ports();
    // The control latch powers up as 0xCC: strobe clear, read strobe
    // cleared (0xC4), enable clear, command selected; bits 4-7 untouched.
    const std::vector<std::string> idle = {
        "in 037A CC", "out 037A CC", "in 037A CC", "out 037A C4",
        "in 037A C4", "out 037A C4", "in 037A C4", "out 037A C4",
    };
    ASSERT_GE(ports.size(), idle.size());
    EXPECT_EQ(std::vector<std::string>(ports.begin(), ports.begin() + idle.size()), idle);
}

TEST(Lifecycle, StartUpSetsUpTheControllerAndClearsBothAreas)
{
    ScenarioRun run = runScenario("lifecycle");
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    std::vector<std::string> transfers = run.transfers();

    std::vector<std::string> expected = {
        "D 00", "D 00", "C 40", "D 28", "D 00", "C 41", "D 00", "D 02", "C 42",
        "D 28", "D 00", "C 43", "C 80", "C A7", "D 00", "D 00", "C 21", "C 9C",
        "D 00", "D 00", "C 24",
    };
    for (int i = 0; i < 320; i++) {
        expected.push_back("D 00");
        expected.push_back("C C0");
    }
    expected.insert(expected.end(), {"D 00", "D 02", "C 24"});
    for (int i = 0; i < 2560; i++) {
        expected.push_back("D 00");
        expected.push_back("C C0");
    }
    expected.insert(expected.end(), {"D 00", "D 00", "C 24"}); // the cursor cell (0, 0)
    ASSERT_GE(transfers.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(transfers.begin(), transfers.begin() + expected.size()), expected);
}

TEST(Lifecycle, PluginExportsOneNameAndNeedsOnlyWindows)
{
    std::string dll = windowsTreePath("plugin-files/gen_pixelvane.dll");
    std::string dump = peDump(dll);
    ASSERT_NE(dump, "") << "objdump failed on " << dll;

    std::vector<std::string> imported;
    bool inNameTable = false;
    std::vector<std::string> exported;
    for (const std::string &line : lines(dump)) {
        size_t at = line.find("DLL Name: ");
        if (at != std::string::npos)
            imported.push_back(line.substr(at + 10));
        if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
            inNameTable = true;
            continue;
        }
        if (inNameTable) {
            size_t close = line.find("] ");
            if (line.empty() || close == std::string::npos)
                inNameTable = false;
            else
                exported.push_back(line.substr(close + 2));
        }
    }
    EXPECT_EQ(exported, std::vector<std::string>{"winampGetGeneralPurposePlugin"});
    const std::vector<std::string> system = {"KERNEL32.dll", "USER32.dll", "SHELL32.dll", "msvcrt.dll"};
    ASSERT_FALSE(imported.empty());
    for (const std::string &name : imported) {
        bool known = false;
        for (const std::string &s : system)
            known |= strcasecmp(name.c_str(), s.c_str()) == 0;
        EXPECT_TRUE(known) << "imports " << name;
    }
}
