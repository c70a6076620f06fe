// How the changed bytes of display RAM go out: the groups of changed
// neighbours, and the runs that carry them. The costs are the fast wire's
// port accesses; every run ends with a command, so each one starts with
// C/D selecting a command.
#pragma once

enum {
    BYTE_ACCESSES = 3,       // data register, /CE and /WR asserted, both released
    C_D_SWITCH_ACCESSES = 1, // C/D alone
    // Data low, data high, SET_ADDRESS_POINTER.
    ADDRESS_COST = C_D_SWITCH_ACCESSES + 2 * BYTE_ACCESSES + C_D_SWITCH_ACCESSES + BYTE_ACCESSES, // 11
    // AUTO_WRITE, then the switch to data, and at the end AUTO_RESET.
    AUTO_RUN_COST = BYTE_ACCESSES + 2 * C_D_SWITCH_ACCESSES + BYTE_ACCESSES, // 8
    AUTO_BYTE_COST = BYTE_ACCESSES,
    // Data, DATA_WRITE_INCREMENT.
    SINGLE_BYTE_COST = 2 * C_D_SWITCH_ACCESSES + 2 * BYTE_ACCESSES, // 8
    // The widest gap worth carrying an auto-write run over: sending the
    // unchanged bytes again costs less than a new address and a new run.
    WIDEST_BRIDGE = (ADDRESS_COST + AUTO_RUN_COST) / AUTO_BYTE_COST, // 6
};

struct ChangedGroup {
    int start;   // first changed address
    int end;     // one past the last
    bool bridge; // a run can carry on to here over the gap before it: at
                 // most WIDEST_BRIDGE bytes, all written by the driver
};

// One run over the groups first to last (and the gaps between them),
// in an auto write or as single writes.
struct PlannedRun {
    int first;
    int last;
    bool autoWrite;
};

// Plans the runs for `count` groups in address order into `runs` (room for
// `count`) and returns how many there are. The first group's address costs
// nothing when the module's pointer is already there.
int planRuns(const ChangedGroup *groups, int count, bool firstAddressKnown, PlannedRun *runs);
