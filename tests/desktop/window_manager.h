#pragma once

#include <QString>

// A private X server with a window manager that draws frames (Xvfb and openbox), for the tests that
// need a real desktop. Both are started before the application and ended with it.
class PrivateDesktop {
public:
    PrivateDesktop();  // starts them; `display()` is empty when that was not possible
    ~PrivateDesktop();
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    // ":<n>", or empty with `failure()` saying why.
    const QString& display() const { return display_; }
    const QString& failure() const { return failure_; }

private:
    qint64 server_ = 0;
    qint64 manager_ = 0;
    QString display_;
    QString failure_;
};
