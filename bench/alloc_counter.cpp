#include "alloc_counter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

#include <unistd.h>

// glibc's own allocator, under the names it keeps for those who replace malloc.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t n, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t align, std::size_t size);
void __libc_free(void* p);
}

namespace {

// SDL's threads never call operator new, but a relaxed atomic costs little and keeps it exact.
std::atomic<uint64_t> allocations{0};
// Per thread, so that the renderer's own threads do not blur a count on the main one.
__thread uint64_t heap_allocations = 0;

void* allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    allocations.fetch_add(1, std::memory_order_relaxed);
    return p;
}

void* allocate_aligned(std::size_t size, std::align_val_t align) {
    std::size_t a = static_cast<std::size_t>(align);
    if (a < sizeof(void*)) a = sizeof(void*);
    void* p = nullptr;
    if (::posix_memalign(&p, a, size ? size : 1) != 0) throw std::bad_alloc();
    allocations.fetch_add(1, std::memory_order_relaxed);
    return p;
}

} // namespace

uint64_t allocation_count() {
    return allocations.load(std::memory_order_relaxed);
}

uint64_t heap_allocation_count() {
    return heap_allocations;
}

extern "C" {
void* malloc(std::size_t size) noexcept {
    ++heap_allocations;
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) noexcept {
    ++heap_allocations;
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) noexcept {
    ++heap_allocations;
    return __libc_realloc(p, size);
}
void free(void* p) noexcept {
    __libc_free(p);
}
void* memalign(std::size_t align, std::size_t size) noexcept {
    ++heap_allocations;
    return __libc_memalign(align, size);
}
void* aligned_alloc(std::size_t align, std::size_t size) noexcept {
    ++heap_allocations;
    return __libc_memalign(align, size);
}
void* valloc(std::size_t size) noexcept {
    ++heap_allocations;
    return __libc_memalign(static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), size);
}
int posix_memalign(void** out, std::size_t align, std::size_t size) noexcept {
    if (align < sizeof(void*) || (align & (align - 1)) != 0) return EINVAL;
    ++heap_allocations;
    void* p = __libc_memalign(align, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
}

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t align) {
    return allocate_aligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return allocate_aligned(size, align);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
