#pragma once

#include <QObject>
#include <functional>
#include <thread>

#include "storage/services.h"

// One piece of work at a time on a thread of its own, so that the window never waits for Firebird.
// The work answers what is to happen on the GUI thread once it is done.
class BackgroundWork : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void()>;
    using Work = std::function<Done(const CancelFlag& cancel)>;

    explicit BackgroundWork(QObject* parent = nullptr);
    // Stops the work and waits for its thread.
    ~BackgroundWork() override;

    // False, starting nothing, while other work runs.
    bool Start(Work work);
    bool Busy() const { return thread_.joinable(); }
    // Asks the work to end at its next chance; what it answers is still done.
    void Cancel() { cancel_ = true; }
    // Asks the work to end and waits for it; what it answers is not done.
    void Stop();

private:
    void Finish(unsigned run, const Done& done);

    std::thread thread_;
    unsigned run_ = 0;  // which work the thread runs: the answer of stopped work comes late
    CancelFlag cancel_{false};
};
