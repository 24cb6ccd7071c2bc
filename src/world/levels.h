// The 50 levels: a map digit and one letter per enemy.
#pragma once

const int LEVEL_COUNT = 50;

// The text of level index (0..49); nullptr for any other index.
const char* level_text(int index);
// map_index of a level string: its first character '0'..'3', else 0.
int map_index_of(const char* level);
