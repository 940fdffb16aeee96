#pragma once

#include <sys/types.h>
#include <chrono>
#include <string>

struct _XDisplay;

// Watches the X display named by DISPLAY for a program's window, as xdotool's search does, but
// polling every millisecond.
class WindowSearch {
public:
    WindowSearch();
    ~WindowSearch();
    WindowSearch(const WindowSearch&) = delete;
    WindowSearch& operator=(const WindowSearch&) = delete;

    bool Connected() const { return display_ != nullptr; }
    // Waits until process `pid` shows a viewable top-level window whose title contains `title`
    // (UTF-8) and answers it; 0 when none shows within `timeout`.
    unsigned long WaitForWindow(pid_t pid, const std::string& title, std::chrono::seconds timeout);
    // Asks the window to close, as its close box does.
    void Close(unsigned long window);

private:
    unsigned long Shown(unsigned long window, pid_t pid, const std::string& title, int depth);

    _XDisplay* display_;
};
