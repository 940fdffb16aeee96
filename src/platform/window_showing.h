#pragma once

#include <functional>

class QWidget;

// Calls `handler` each time the window is shown by the program (not when it is restored from the
// task bar), before it is first painted.
void OnEveryShowing(QWidget& window, std::function<void()> handler);
