// The main of the benchmarks that count heap allocations (alloc_count.cpp):
// Google Benchmark's, once the counting hooks are seen to count.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#include "alloc_count.h"

// A zero in the allocations column only means something if the hooks see
// allocations at all: make sure one is counted before trusting them.
static bool allocationHooksCount()
{
    uint64_t before = heapAllocations();
    int *probe = new int(1);
    benchmark::DoNotOptimize(probe);
    delete probe;
    return heapAllocations() > before;
}

int main(int argc, char **argv)
{
    if (!allocationHooksCount()) {
        std::fprintf(stderr, "the allocation hooks count nothing; the allocation column would be wrong\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
