// Plain shapes drawn with untextured quads into the current scene.
#pragma once

#include <cstdint>

// The rectangle from (x1, y1) to (x2, y2), ARGB colour.
void fill_rect(float x1, float y1, float x2, float y2, uint32_t color);
// A triangle with its tip at (x, y) pointing along (dx, dy), a unit vector.
void fill_arrow(float x, float y, float dx, float dy, float size, uint32_t color);
