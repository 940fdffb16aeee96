#include <pthread.h>
#include <signal.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <thread>

#include "platform/session_signals.h"

namespace {

sigset_t SessionSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// A forked child (the picture converter) ends on the signals as usual, with the session.
void ReleaseInChild() {
    const sigset_t set = SessionSignalSet();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace

void HoldSessionSignals() {
    const sigset_t set = SessionSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    pthread_atfork(nullptr, nullptr, ReleaseInChild);
}

void ForwardSessionSignals(std::function<void()> endRun) {
    // Held signals stay pending until this thread takes them, so no handler of anyone else's runs.
    std::thread([endRun = std::move(endRun)] {
        const sigset_t set = SessionSignalSet();
        for (;;) {
            int received = 0;
            if (sigwait(&set, &received) == 0) {
                QMetaObject::invokeMethod(QCoreApplication::instance(), endRun, Qt::QueuedConnection);
            }
        }
    }).detach();
}
