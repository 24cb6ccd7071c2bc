// Counts the program's calls of the global operator new (every form), which
// this benchmark binary replaces.
#pragma once

#include <cstdint>

// The number of successful operator new calls since the program started.
uint64_t allocation_count();
