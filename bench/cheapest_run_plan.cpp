// The cheapest plan of runs, linked in place of the fast bus's plain rule
// (lcd/fast_bus/run_plan.cpp) to measure what the plain rule gives away.
//
// Each group goes out either in an auto-write run or as single writes, and
// a run of either kind may carry on over the gap before the next group
// instead of starting anew at a new address. The costs add up group by
// group, so the cheapest plan is found in one pass that keeps, for each
// group, the best plan ending in a run of each kind.
#include "fast_bus/run_plan.h"

#include "t6963c.h"

enum RunKind { AUTO_RUN, SINGLE_WRITES, RUN_KINDS };
enum { MOST_GROUPS = DISPLAY_RAM_BYTES / 2 + 1 };

// Per group and run kind: the least cost of a plan that sends every group
// up to this one and ends in a run of that kind, and whether that run
// carried on from the group before.
struct Plan {
    long cost[RUN_KINDS];
    bool carried[RUN_KINDS];
    RunKind before; // the cheaper ending of the group before
};

static Plan plans[MOST_GROUPS];

static RunKind cheaper(const Plan &plan)
{
    return plan.cost[AUTO_RUN] <= plan.cost[SINGLE_WRITES] ? AUTO_RUN : SINGLE_WRITES;
}

int planRuns(const ChangedGroup *groups, int count, bool firstAddressKnown, PlannedRun *runs)
{
    if (count == 0)
        return 0;
    for (int i = 0; i < count; i++) {
        const ChangedGroup &group = groups[i];
        long length = group.end - group.start;
        long before = 0;
        RunKind beforeKind = AUTO_RUN;
        if (i > 0) {
            beforeKind = cheaper(plans[i - 1]);
            before = plans[i - 1].cost[beforeKind];
        }
        long address = (i == 0 && firstAddressKnown) ? 0 : ADDRESS_COST;
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
    // Back from the last group: where each run begins and what kind it is,
    // then the runs in address order.
    int runCount = 0;
    RunKind kind = cheaper(plans[count - 1]);
    int last = count - 1;
    for (int i = count - 1; i >= 0; i--) {
        if (plans[i].carried[kind])
            continue;
        runs[runCount++] = PlannedRun{i, last, kind == AUTO_RUN};
        last = i - 1;
        kind = plans[i].before;
    }
    for (int i = 0; i < runCount / 2; i++) {
        PlannedRun swap = runs[i];
        runs[i] = runs[runCount - 1 - i];
        runs[runCount - 1 - i] = swap;
    }
    return runCount;
}
