#include "x_screen.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

Display* as_display(void* d) {
    return static_cast<Display*>(d);
}

} // namespace

XScreen::XScreen() : display_(XOpenDisplay(nullptr)) {}

XScreen::~XScreen() {
    if (display_) XCloseDisplay(as_display(display_));
}

bool XScreen::window_manager_up(int timeout_ms) {
    Display* x = as_display(display_);
    if (!x) return false;
    Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    for (int waited = 0; waited <= timeout_ms; waited += 50) {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        bool up = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type,
                                     &format, &n, &after, &data) == Success &&
                  n == 1;
        if (data) XFree(data);
        if (up) return true;
        SDL_Delay(50);
    }
    return false;
}

int XScreen::width() const {
    Display* x = as_display(display_);
    return x ? DisplayWidth(x, DefaultScreen(x)) : 0;
}

Shot XScreen::grab(SDL_Window* window) {
    Shot s;
    Display* x = as_display(display_);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!x || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return s;
    ::Window win = info.info.x11.window, child;
    XWindowAttributes a;
    XSync(x, False);
    if (!XGetWindowAttributes(x, win, &a)) return s;
    int rx = 0, ry = 0;
    XTranslateCoordinates(x, win, DefaultRootWindow(x), 0, 0, &rx, &ry, &child);
    // From the root window: what is on the screen, not what the window thinks it holds.
    XImage* image =
        XGetImage(x, DefaultRootWindow(x), rx, ry, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return s;
    s.w = a.width;
    s.h = a.height;
    s.px.resize(static_cast<size_t>(s.w) * s.h);
    for (int y = 0; y < s.h; ++y)
        for (int px = 0; px < s.w; ++px)
            s.px[static_cast<size_t>(y) * s.w + px] = XGetPixel(image, px, y) & 0xFFFFFF;
    XDestroyImage(image);
    return s;
}
