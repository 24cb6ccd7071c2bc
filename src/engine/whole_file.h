// Reading a file whole, for the back ends' Resource_Load.
#pragma once

#include <cstdint>

// The file's bytes in memory from malloc (free with std::free), or nullptr;
// size, when given, gets their count (0 on failure).
void* load_whole_file(const char* path, uint32_t* size);
