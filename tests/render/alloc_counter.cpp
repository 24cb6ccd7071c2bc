// Counts heap allocations while a test asks for it, to show that drawing a
// frame allocates nothing.
#include <cstdlib>
#include <new>

#include "render_fixture.h"

long counted_allocations = 0;
bool counting_allocations = false;

void* operator new(std::size_t size) {
    if (counting_allocations) ++counted_allocations;
    void* p = std::malloc(size ? size : 1);
    if (!p) std::abort();
    return p;
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
