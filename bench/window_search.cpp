#include "window_search.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <thread>

namespace {

// Passes a window property's items to `read`; nothing when the window has none of that type.
// Xlib hands 32-bit items over as longs.
template <typename Read>
void ReadProperty(Display* display, Window window, const char* name, Atom type, Read&& read) {
    Atom actualType;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                           &actualType, &format, &count, &remaining, &data) == Success &&
        data != nullptr) {
        if (count > 0) {
            read(data, count);
        }
        XFree(data);
    }
}

}  // namespace

// Xvfb turns a connection away now and then while it is busy with clients leaving: try for a while.
WindowSearch::WindowSearch() : display_(XOpenDisplay(nullptr)) {
    for (int attempt = 0; attempt < 50 && display_ == nullptr; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        display_ = XOpenDisplay(nullptr);
    }
}

WindowSearch::~WindowSearch() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

unsigned long WindowSearch::Shown(unsigned long window, pid_t pid, const std::string& title, int depth) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable) {
        long owner = 0;
        ReadProperty(
            display_, window, "_NET_WM_PID", XA_CARDINAL,
            [&](const unsigned char* data, unsigned long) { owner = *reinterpret_cast<const long*>(data); });
        std::string name;
        ReadProperty(display_, window, "_NET_WM_NAME", XInternAtom(display_, "UTF8_STRING", False),
                     [&](const unsigned char* data, unsigned long count) {
                         name.assign(reinterpret_cast<const char*>(data), count);
                     });
        if (owner == pid && name.find(title) != std::string::npos) {
            return window;
        }
    }
    if (depth == 0) {
        return 0;
    }
    // A window manager puts each top-level window into a frame of its own.
    Window root, parent;
    Window* children = nullptr;
    unsigned count = 0;
    unsigned long found = 0;
    if (XQueryTree(display_, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            found = Shown(children[i], pid, title, depth - 1);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

unsigned long WindowSearch::WaitForWindow(pid_t pid, const std::string& title, std::chrono::seconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (const unsigned long window = Shown(DefaultRootWindow(display_), pid, title, 2)) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}

void WindowSearch::Close(unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}
