// A quit while the graphic screen's port thread is in the middle of a
// frame, at the slowest pace (one byte a millisecond): the thread gives the
// frame up between two bytes and ends, and only then does the player's
// thread send the shut-down screen. No protocol fault, and the panel ends
// as it does at the default pace, where the frame went out whole first.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The new title's frame is handed over by the tick; the host answers the
// tick's message with a modal loop of its own whose timer messages keep the
// player's thread busy for a while (each one a refresh with nothing new)
// and then quits from inside it, while the frame is still on its way.
const std::string QUIT_MID_FRAME = "title 1. Northern Quartet - Lights - Winamp\n"
                                   "answer 104 1\nanswer 105 0 75000\nanswer 105 1 412\n"
                                   "clock 2026-12-09 21:07\n"
                                   "remove LCDLIntro.bmp\n"
                                   "start\ntick\ncounts before-title\n"
                                   "title 2. The Long Names Society - A Song Whose Title Goes On - Winamp\n"
                                   "modal-loop tick 2000 quit\ntick\n"
                                   "counts after-quit\nsnapshot after-quit\nunload\n";

const std::vector<std::string> GRAPHIC = {"Graphic Screen=1"};
const std::vector<std::string> GRAPHIC_SLOWEST = {"Graphic Screen=1", "Fast Bus Pace=1000"};

enum : unsigned { SET_ADDRESS = 0x24, AUTO_WRITE_CODE = 0xB0, AUTO_RESET_CODE = 0xB2, WRITE_AND_ADVANCE = 0xC0 };

struct RamRun {
    unsigned address;
    int bytes;
    bool operator==(const RamRun &other) const { return address == other.address && bytes == other.bytes; }
};

long long transfersAt(const ScenarioRun &run, const std::string &label)
{
    std::string prefix = "counts " + label + " accesses ";
    for (const std::string &line : run.events())
        if (line.compare(0, prefix.size(), prefix) == 0) {
            size_t at = line.find(" transfers ");
            if (at != std::string::npos)
                return std::atoll(line.c_str() + at + 11);
        }
    ADD_FAILURE() << "no counts " << label;
    return 0;
}

// The runs of display RAM between two counts labels, each at the address
// it was set to, up to the first that goes back below the one before: the
// frame the port thread sent (or began) before the shut-down screen's.
std::vector<RamRun> firstPass(const ScenarioRun &run, const std::string &from, const std::string &to)
{
    Lines transfers = run.transfers();
    long long begin = transfersAt(run, from), end = transfersAt(run, to);
    std::vector<RamRun> runs;
    std::vector<unsigned> parameters;
    bool inAuto = false;
    for (long long i = begin; i < end && i < (long long)transfers.size(); i++) {
        char kind = 0;
        unsigned value = 0;
        if (std::sscanf(transfers[i].c_str(), "%c %x", &kind, &value) != 2)
            continue;
        if (kind == 'D') {
            if (inAuto)
                runs.back().bytes++;
            else
                parameters.push_back(value);
            continue;
        }
        if (value == SET_ADDRESS && parameters.size() >= 2) {
            unsigned address = parameters[parameters.size() - 2] | parameters.back() << 8;
            if (!runs.empty() && address < runs.back().address)
                break;
            runs.push_back(RamRun{address, 0});
        } else if (value == AUTO_WRITE_CODE) {
            inAuto = !runs.empty();
        } else if (value == AUTO_RESET_CODE) {
            inAuto = false;
        } else if (value == WRITE_AND_ADVANCE && !runs.empty()) {
            runs.back().bytes++;
        } else if (!runs.empty()) {
            break; // a register: the resend of the shut-down screen's flush
        }
        parameters.clear();
    }
    return runs;
}

std::string describe(const std::vector<RamRun> &runs)
{
    std::string text;
    char item[24];
    for (const RamRun &run : runs) {
        std::snprintf(item, sizeof item, " %04X:%d", run.address, run.bytes);
        text += item;
    }
    return text;
}

} // namespace

TEST(ShutdownMidFrame, ThePortThreadStopsBetweenTwoBytesAndTheShutdownScreenGoesOutWhole)
{
    ScenarioRun slowest = runScenarioTextWith("quit-mid-frame-pace-1000", QUIT_MID_FRAME, GRAPHIC_SLOWEST);
    ScenarioRun usual = runScenarioTextWith("quit-mid-frame", QUIT_MID_FRAME, GRAPHIC);
    expectCleanRun(slowest);
    expectCleanRun(usual);

    // At the default pace the new title's frame went out whole before the
    // quit; at the slowest the quit cut it: what went out of it is a part
    // of the whole frame's runs, in order, the last one maybe cut short.
    std::vector<RamRun> whole = firstPass(usual, "before-title", "after-quit");
    std::vector<RamRun> cut = firstPass(slowest, "before-title", "after-quit");
    SCOPED_TRACE("whole frame:" + describe(whole) + "\nbefore the quit:" + describe(cut));
    ASSERT_FALSE(whole.empty());
    ASSERT_FALSE(cut.empty()) << "the quit came before the thread sent anything";
    ASSERT_LE(cut.size(), whole.size());
    for (size_t i = 0; i + 1 < cut.size(); i++)
        EXPECT_TRUE(cut[i] == whole[i]) << "run " << i;
    const RamRun &last = cut.back();
    EXPECT_EQ(last.address, whole[cut.size() - 1].address);
    EXPECT_LE(last.bytes, whole[cut.size() - 1].bytes);
    EXPECT_TRUE(cut.size() < whole.size() || last.bytes < whole.back().bytes)
        << "the frame had gone out whole before the quit: the quit did not come mid-frame";

    // What the thread left unsent went out with the shut-down screen.
    for (const std::string &snapshot : {std::string("after-quit"), std::string(END_OF_RUN)}) {
        SCOPED_TRACE(snapshot);
        EXPECT_EQ(slowest.panel(snapshot), usual.panel(snapshot));
        EXPECT_EQ(slowest.ram(snapshot), usual.ram(snapshot));
    }
}
