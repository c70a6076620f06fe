// Sending the changed bytes of display RAM: they fall into groups of
// neighbours, the plan (run_plan.h) says which runs carry them, and each
// run goes out at its address.
#include "display_shadow.h"

#include "run_plan.h"
#include "t6963c.h"
#include "wire/fast_wire.h"

enum { MOST_GROUPS = DISPLAY_RAM_BYTES / 2 + 1 };

static ChangedGroup groups[MOST_GROUPS];
static PlannedRun runs[MOST_GROUPS];

static bool changed(const DisplayShadow &shadow, int address)
{
    return shadow.written[address] &&
           (!shadow.heldKnown[address] || shadow.held[address] != shadow.wanted[address]);
}

static bool allWritten(const DisplayShadow &shadow, int start, int end)
{
    for (int address = start; address < end; address++)
        if (!shadow.written[address])
            return false;
    return true;
}

static int findGroups(const DisplayShadow &shadow)
{
    int count = 0;
    int address = shadow.dirtyLow;
    while (address < shadow.dirtyHigh) {
        if (!changed(shadow, address)) {
            address++;
            continue;
        }
        ChangedGroup group;
        group.start = address;
        while (address < shadow.dirtyHigh && changed(shadow, address))
            address++;
        group.end = address;
        int gapStart = count > 0 ? groups[count - 1].end : group.start;
        group.bridge = count > 0 && group.start - gapStart <= WIDEST_BRIDGE &&
                       allWritten(shadow, gapStart, group.start);
        groups[count++] = group;
    }
    return count;
}

static void sendAddress(DisplayShadow *shadow, int address)
{
    if (shadow->pointerKnown && shadow->pointer == address)
        return;
    fastWireSendWithWord((uint8_t)(address & 0xFF), (uint8_t)(address >> 8), SET_ADDRESS_POINTER);
}

// False when the stop cut the run short.
static bool sendRun(DisplayShadow *shadow, bool autoWrite, int start, int end, bool (*stopped)())
{
    if (stopped())
        return false;
    sendAddress(shadow, start);
    if (autoWrite)
        fastWireSend(true, AUTO_WRITE);
    int address = start;
    for (; address < end && !stopped(); address++) {
        fastWireSend(false, shadow->wanted[address]);
        if (!autoWrite)
            fastWireSend(true, DATA_WRITE_INCREMENT);
        shadow->held[address] = shadow->wanted[address];
        shadow->heldKnown[address] = true;
    }
    // Even when stopped: the controller takes nothing but auto reset in
    // auto mode.
    if (autoWrite)
        fastWireSend(true, AUTO_RESET);
    shadow->pointerKnown = true;
    shadow->pointer = address & DISPLAY_RAM_MASK;
    return address == end;
}

bool sendChangedMemory(DisplayShadow *shadow, bool (*stopped)())
{
    int count = findGroups(*shadow);
    if (count > 0) {
        bool firstAddressKnown = shadow->pointerKnown && shadow->pointer == groups[0].start;
        int runCount = planRuns(groups, count, firstAddressKnown, runs);
        for (int i = 0; i < runCount; i++)
            if (!sendRun(shadow, runs[i].autoWrite, groups[runs[i].first].start, groups[runs[i].last].end, stopped))
                return false; // the dirty range still covers what is left
    }
    shadow->dirtyLow = DISPLAY_RAM_BYTES;
    shadow->dirtyHigh = 0;
    return true;
}
