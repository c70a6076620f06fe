// Every heap allocation the program makes is counted: global operator new
// (all forms) and malloc, calloc and realloc are replaced by counting
// versions that hand on to the C library's allocator.
#pragma once

#include <cstdint>

uint64_t heapAllocations();
