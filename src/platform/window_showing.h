#pragma once

#include <functional>

class QWidget;

// Calls `handler` each time the window is shown by the program (not when it is restored from the
// task bar), before it is first painted.
void OnEveryShowing(QWidget& window, std::function<void()> handler);

// Calls `then` once, from the event loop, after the window has been painted for the first time.
void AfterFirstPaint(QWidget& window, std::function<void()> then);
