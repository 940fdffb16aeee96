#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

#include "storage/services.h"

// One piece of work at a time on a thread of its own, so that the window never waits for Firebird or
// for a file.
// The work answers what is to happen on the GUI thread once it is done; that answer waits while the
// GUI thread waits for a call on a server's connection (its events turn meanwhile), as every step
// of the program's own accord does.
class BackgroundWork : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void()>;
    using Work = std::function<Done(const CancelFlag& cancel)>;
    // Runs a step on the GUI thread soon, unless the work has been stopped meanwhile; for the work to
    // tell of its progress from its own thread.
    using Tell = std::function<void(std::function<void()> step)>;

    explicit BackgroundWork(QObject* parent = nullptr);
    // Stops the work.
    ~BackgroundWork() override;

    // False, starting nothing, while other work runs or its answer waits.
    bool Start(Work work);
    bool Busy() const { return thread_.joinable(); }
    // Asks the work to end at its next chance; what it answers is still done.
    void Cancel();
    // Asks the work to end and waits for it a moment; work that has not ended by then (a call to a
    // server that stopped answering) is left to end alone. What it answers is not done.
    void Stop();
    // Posts steps to this object until the work is stopped.
    Tell Teller() const;

private:
    struct Mailbox;
    struct Run;
    void OpenMailbox();
    void Finish(const std::shared_ptr<Run>& run, const Done& done);

    std::thread thread_;
    std::shared_ptr<Run> run_;  // of the work under way
    std::shared_ptr<Mailbox> mailbox_;
};
