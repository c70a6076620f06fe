// The plain rule: a run carries on over every gap it can bridge, and goes
// out in an auto write unless it is a single byte (one byte costs 8
// accesses as a single write, 11 in an auto write; two already cost less
// in an auto write). On the bench's work and the fuzzer's corpus it sends
// within 0.05 % of the cheapest plan (bench/RESULTS.md).
#include "run_plan.h"

int planRuns(const ChangedGroup *groups, int count, bool, PlannedRun *runs)
{
    int runCount = 0;
    for (int i = 0; i < count;) {
        int last = i;
        while (last + 1 < count && groups[last + 1].bridge)
            last++;
        bool singleByte = groups[last].end - groups[i].start == 1;
        runs[runCount++] = PlannedRun{i, last, !singleByte};
        i = last + 1;
    }
    return runCount;
}
