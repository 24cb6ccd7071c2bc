// Axis-aligned bounding rectangle.
#pragma once

struct Rect {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // left, top, right, bottom
    bool clean = true;                    // holds no point yet

    // A clean rectangle: the first encapsulated point becomes all of it.
    Rect() = default;
    // A rectangle that already holds its corners.
    Rect(float l, float t, float r, float b) : x1(l), y1(t), x2(r), y2(b), clean(false) {}

    // Grows the rectangle to hold (x, y); a clean one becomes that point.
    void encapsulate(float x, float y);
    // Left and top edges inside, right and bottom outside.
    bool test_point(float x, float y) const;
    // True when the two overlap by more than an edge.
    bool intersect(const Rect& other) const;
};
