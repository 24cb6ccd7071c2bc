// The 50 levels: a map digit and one letter per enemy.
#pragma once

// Appends the 50 level strings to level_list, in order.
void load_levels();
// map_index of a level string: its first character '0'..'3', else 0.
int map_index_of(const char* level);
