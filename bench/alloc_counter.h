// Counts the program's calls of the global operator new (every form), which
// this benchmark binary replaces, and every heap allocation of a thread:
// malloc and its kin, which the binary also replaces, so that SDL's and the
// graphics driver's are counted too.
#pragma once

#include <cstdint>

// The number of successful operator new calls since the program started.
uint64_t allocation_count();

// Heap allocations (malloc, calloc, realloc, the aligned ones; operator new
// among them) that the calling thread made since it started.
uint64_t heap_allocation_count();
