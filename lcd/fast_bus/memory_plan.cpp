// Choosing how the changed bytes of display RAM go out.
//
// The changed bytes fall into groups of neighbours. Each group goes out
// either in an auto-write run or as single writes, and a run of either kind
// may carry on over the unchanged bytes before the next group (sending
// them again) instead of starting anew at a new address. The costs below
// are the fast wire's port accesses; they add up group by group, so the
// cheapest plan is found in one pass that keeps, for each group, the best
// plan ending in a run of each kind.
#include "display_shadow.h"

#include "t6963c.h"
#include "wire/fast_wire.h"

// Port accesses on the fast wire. Every run ends with a command, so each
// one starts with C/D selecting a command.
enum {
    BYTE_ACCESSES = 3,     // data register, /CE and /WR asserted, both released
    C_D_SWITCH_ACCESSES = 1, // C/D alone
    // Data low, data high, SET_ADDRESS_POINTER.
    ADDRESS_COST = C_D_SWITCH_ACCESSES + 2 * BYTE_ACCESSES + C_D_SWITCH_ACCESSES + BYTE_ACCESSES, // 11
    // AUTO_WRITE, then the switch to data, and at the end AUTO_RESET.
    AUTO_RUN_COST = BYTE_ACCESSES + C_D_SWITCH_ACCESSES + C_D_SWITCH_ACCESSES + BYTE_ACCESSES,   // 8
    AUTO_BYTE_COST = BYTE_ACCESSES,
    // Data, DATA_WRITE_INCREMENT.
    SINGLE_BYTE_COST = C_D_SWITCH_ACCESSES + BYTE_ACCESSES + C_D_SWITCH_ACCESSES + BYTE_ACCESSES, // 8
    // A gap wider than this is never worth carrying a run over: starting
    // anew costs at most an address and an auto run's ends.
    WIDEST_BRIDGE = (ADDRESS_COST + AUTO_RUN_COST) / AUTO_BYTE_COST,      // 6
    MOST_GROUPS = DISPLAY_RAM_BYTES / 2 + 1,
};

enum RunKind { AUTO_RUN, SINGLE_WRITES, RUN_KINDS };

struct Group {
    int start;    // first changed address
    int end;      // one past the last
    bool bridge;  // a run can carry on to here over the gap before it
};

// Per group and run kind: the least cost of a plan that sends every group
// up to this one and ends in a run of that kind, and whether that run
// carried on from the group before.
struct Plan {
    long cost[RUN_KINDS];
    bool carried[RUN_KINDS];
    RunKind before; // the cheaper ending of the group before
};

static Group groups[MOST_GROUPS];
static Plan plans[MOST_GROUPS];
static RunKind chosen[MOST_GROUPS];
static bool opensRun[MOST_GROUPS];

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
        Group group;
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

static void planRuns(const DisplayShadow &shadow, int count)
{
    for (int i = 0; i < count; i++) {
        const Group &group = groups[i];
        long length = group.end - group.start;
        long before = 0;
        RunKind beforeKind = AUTO_RUN;
        if (i > 0) {
            beforeKind = plans[i - 1].cost[AUTO_RUN] <= plans[i - 1].cost[SINGLE_WRITES] ? AUTO_RUN : SINGLE_WRITES;
            before = plans[i - 1].cost[beforeKind];
        }
        long address = (i == 0 && shadow.pointerKnown && shadow.pointer == group.start) ? 0 : ADDRESS_COST;
        Plan &plan = plans[i];
        plan.before = beforeKind;
        plan.cost[AUTO_RUN] = before + address + AUTO_RUN_COST + AUTO_BYTE_COST * length;
        plan.cost[SINGLE_WRITES] = before + address + SINGLE_BYTE_COST * length;
        plan.carried[AUTO_RUN] = plan.carried[SINGLE_WRITES] = false;
        if (!group.bridge)
            continue;
        long span = group.end - groups[i - 1].end;
        long carriedAuto = plans[i - 1].cost[AUTO_RUN] + AUTO_BYTE_COST * span;
        long carriedSingles = plans[i - 1].cost[SINGLE_WRITES] + SINGLE_BYTE_COST * span;
        if (carriedAuto < plan.cost[AUTO_RUN]) {
            plan.cost[AUTO_RUN] = carriedAuto;
            plan.carried[AUTO_RUN] = true;
        }
        if (carriedSingles < plan.cost[SINGLE_WRITES]) {
            plan.cost[SINGLE_WRITES] = carriedSingles;
            plan.carried[SINGLE_WRITES] = true;
        }
    }
    // Back from the last group: which kind each group goes out in, and
    // where runs begin.
    RunKind kind = plans[count - 1].cost[AUTO_RUN] <= plans[count - 1].cost[SINGLE_WRITES] ? AUTO_RUN : SINGLE_WRITES;
    for (int i = count - 1; i >= 0; i--) {
        chosen[i] = kind;
        opensRun[i] = !plans[i].carried[kind];
        if (opensRun[i])
            kind = plans[i].before;
    }
}

static void sendAddress(DisplayShadow *shadow, int address)
{
    if (shadow->pointerKnown && shadow->pointer == address)
        return;
    fastWireSendWithWord((uint8_t)(address & 0xFF), (uint8_t)(address >> 8), SET_ADDRESS_POINTER);
}

static void sendRun(DisplayShadow *shadow, RunKind kind, int start, int end)
{
    sendAddress(shadow, start);
    if (kind == AUTO_RUN)
        fastWireSend(true, AUTO_WRITE);
    for (int address = start; address < end; address++) {
        fastWireSend(false, shadow->wanted[address]);
        if (kind == SINGLE_WRITES)
            fastWireSend(true, DATA_WRITE_INCREMENT);
        shadow->held[address] = shadow->wanted[address];
        shadow->heldKnown[address] = true;
    }
    if (kind == AUTO_RUN)
        fastWireSend(true, AUTO_RESET);
    shadow->pointerKnown = true;
    shadow->pointer = end & DISPLAY_RAM_MASK;
}

void sendChangedMemory(DisplayShadow *shadow)
{
    int count = findGroups(*shadow);
    if (count > 0) {
        planRuns(*shadow, count);
        for (int i = 0; i < count;) {
            int last = i;
            while (last + 1 < count && !opensRun[last + 1])
                last++;
            sendRun(shadow, chosen[i], groups[i].start, groups[last].end);
            i = last + 1;
        }
    }
    shadow->dirtyLow = DISPLAY_RAM_BYTES;
    shadow->dirtyHigh = 0;
}
