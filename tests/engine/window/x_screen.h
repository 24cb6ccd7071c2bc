// The X server's side of a window test, apart from the game's headers,
// whose names X11's macros would clash with.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

struct Shot {
    int w = 0, h = 0;
    std::vector<uint32_t> px; // 0xRRGGBB, row by row
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

class XScreen {
  public:
    XScreen();
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool open() const { return display_ != nullptr; }
    // Waits up to timeout_ms for a window manager to announce itself.
    bool window_manager_up(int timeout_ms);
    int width() const;
    // What the screen shows where the window is, at the window's size; empty on failure.
    Shot grab(SDL_Window* window);

  private:
    void* display_ = nullptr;
};
