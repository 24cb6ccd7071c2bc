// Enemies come into being: the letter table, and level placement at points
// no player can see.
#pragma once

#include "world/world.h"

// Builds the enemy of `letter` into pending_list or enemy_list; other characters make nothing.
void create_enemy(World& w, char letter, float x, float y, float angle, bool to_pending);
// Places up to count enemies of the text; false once the text is used up for good.
bool spawn_level(World& w, const char* text, int count);
// Appends pending_list to enemy_list in order and empties it.
void flush_pending(World& w);
