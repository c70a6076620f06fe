// Port accesses of the fast bus on the fuzzer's inputs: each file of the
// folders given is run through fuzz_fast_bus's operations (both buses,
// compared as the fuzzer compares them), and the accesses made while the
// fast bus drives the port are counted. One line per file and a total:
//
//   corpus FILE accesses N
//   corpus-total files F accesses N
//
// Built twice, with the fast bus's plain rule of runs and with the
// cheapest plan (bench/cheapest_run_plan.cpp).
//
//   pixelvane-corpus-accesses FOLDER...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings.h"
#include "sim_port.h"
#include "wire/port.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fs = std::filesystem;

Emulator simPortEmulator;
static uint64_t fastBusAccesses;

void portWriteByte(unsigned short port, unsigned char value)
{
    fastBusAccesses += optIns.fastBus != 0;
    emulatorOut(&simPortEmulator, port, value);
}

unsigned char portReadByte(unsigned short port)
{
    fastBusAccesses += optIns.fastBus != 0;
    return emulatorIn(&simPortEmulator, port);
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pixelvane-corpus-accesses FOLDER...\n");
        return 2;
    }
    LLVMFuzzerInitialize(&argc, &argv);
    std::vector<fs::path> files;
    for (int i = 1; i < argc; i++)
        for (const fs::directory_entry &entry : fs::directory_iterator(argv[i]))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    uint64_t total = 0;
    for (const fs::path &file : files) {
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        fastBusAccesses = 0;
        LLVMFuzzerTestOneInput(data.data(), data.size());
        total += fastBusAccesses;
        std::printf("corpus %s accesses %llu\n", file.filename().c_str(), (unsigned long long)fastBusAccesses);
    }
    std::printf("corpus-total files %zu accesses %llu\n", files.size(), (unsigned long long)total);
    return 0;
}
