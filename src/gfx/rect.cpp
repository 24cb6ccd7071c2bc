#include "gfx/rect.h"

#include <cmath>

void Rect::encapsulate(float x, float y) {
    if (clean) {
        x1 = x2 = x;
        y1 = y2 = y;
        clean = false;
        return;
    }
    if (x < x1) x1 = x;
    if (x > x2) x2 = x;
    if (y < y1) y1 = y;
    if (y > y2) y2 = y;
}

bool Rect::test_point(float x, float y) const {
    return x1 <= x && x < x2 && y1 <= y && y < y2;
}

bool Rect::intersect(const Rect& other) const {
    // Centre distance against the sum of the sizes, both doubled.
    return std::fabs(x1 + x2 - other.x1 - other.x2) < (x2 - x1) + (other.x2 - other.x1) &&
           std::fabs(y1 + y2 - other.y1 - other.y2) < (y2 - y1) + (other.y2 - other.y1);
}
