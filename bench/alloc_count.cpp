#include "alloc_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

// glibc's own allocator under its internal names, so that the malloc
// defined here can hand on to it.
extern "C" void *__libc_malloc(size_t size);
extern "C" void *__libc_calloc(size_t count, size_t size);
extern "C" void *__libc_realloc(void *block, size_t size);
extern "C" void *__libc_memalign(size_t alignment, size_t size);
extern "C" void __libc_free(void *block);

static std::atomic<uint64_t> allocations{0};

uint64_t heapAllocations()
{
    return allocations.load(std::memory_order_relaxed);
}

extern "C" void *malloc(size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void *calloc(size_t count, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void *realloc(void *block, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

extern "C" void free(void *block)
{
    __libc_free(block);
}

static void *allocate(size_t size)
{
    void *block = malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

static void *allocateAligned(size_t size, std::align_val_t alignment)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    void *block = __libc_memalign((size_t)alignment, size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

void *operator new(size_t size) { return allocate(size); }
void *operator new[](size_t size) { return allocate(size); }
void *operator new(size_t size, const std::nothrow_t &) noexcept { return malloc(size == 0 ? 1 : size); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return malloc(size == 0 ? 1 : size); }
void *operator new(size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }
void *operator new[](size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }

void operator delete(void *block) noexcept { free(block); }
void operator delete[](void *block) noexcept { free(block); }
void operator delete(void *block, size_t) noexcept { free(block); }
void operator delete[](void *block, size_t) noexcept { free(block); }
void operator delete(void *block, std::align_val_t) noexcept { free(block); }
void operator delete[](void *block, std::align_val_t) noexcept { free(block); }
void operator delete(void *block, size_t, std::align_val_t) noexcept { free(block); }
void operator delete[](void *block, size_t, std::align_val_t) noexcept { free(block); }
