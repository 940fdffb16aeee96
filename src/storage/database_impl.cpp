#include "storage/database_impl.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "common/codepage.h"
#include "storage/firebird_attach.h"

using namespace Firebird;

namespace {

// How long a call on a server's connection may take unless a test says otherwise.
constexpr std::chrono::milliseconds kCallDeadline{20000};
// How long a server's connection waits for the next read of a command before ending the read
// transaction: longer than a command takes between its statements.
constexpr std::chrono::milliseconds kReaderIdle{100};

}  // namespace

Database::Impl::Impl(const ConnectionSettings& s)
    : settings(s),
      transactions(master,
                   [this](const char* operation, const FbException& error) { Report(operation, error); }),
      calls(master) {
    // Through a server the reads of one command share the read transaction, which spares each read the
    // round trips to start and end one; it ends once the connection has been idle a moment. A
    // transaction that has read a table keeps every other connection from dropping that table until
    // it ends, so none is left open any longer.
    calls.SetIdleTask([this] { transactions.EndReading(false); }, kReaderIdle);
    Allow(kCallDeadline);
}

void Database::Impl::Allow(std::chrono::milliseconds allowed) {
    calls.SetAllowed(allowed);
    transactions.SetLockWait(
        std::max(std::chrono::seconds(1), std::chrono::duration_cast<std::chrono::seconds>(allowed / 2)));
}

void Database::Impl::Report(const char* operation, const FbException& error) {
    gone = gone || ConnectionGone(error.getStatus());
    Report(operation, FailureWords(util, error.getStatus()).c_str());
}

void Database::Impl::Report(const char* operation, const char* message) {
    lastError = message;
    if (errorHook) {
        errorHook(operation, message);
    }
}

void Database::Impl::Trace(const std::string& text) {
    if (trace) {
        trace(text);
    }
}

std::string Database::Impl::FirebirdPath() const {
    return Utf8FromCp932(settings.DatabasePath());
}

void Database::Impl::CloseStatement() {
    result.reset();
    transactions.EndWrite();
}

void Database::Impl::MarkLost() {
    gone = false;
    result.reset();
    // A call given up because its connection is being left is not made again; the connection is left
    // as by a detach, which DisconnectDatabase tells.
    if (calls.Leaving()) {
        life.StopReattaching();
        leftUnderACall = leftUnderACall || attachment != nullptr;
    }
    // Nothing can be rolled back or detached over a connection that is gone. The handles are let go
    // on the thread that uses them, where the idle end of the read transaction may be under way.
    calls.Quietly([this] {
        transactions.LetGo();
        if (attachment != nullptr) {
            attachment->release();
            attachment = nullptr;
        }
    });
    if (!calls.Leaving()) {
        life.StartReattaching(master, FirebirdPath());
    }
}

void Database::Impl::Attach(IAttachment* made) {
    attachment = made;
    remote = !settings.serverPrefix.empty();
}

bool Database::Impl::DetachQuietly() {
    if (std::exchange(leftUnderACall, false)) {
        return true;
    }
    CloseStatement();
    transactions.EndReading();
    if (life.Lost()) {
        life.StopReattaching();
        return true;
    }
    if (attachment == nullptr) {
        return false;
    }
    CallStatus status(master);
    try {
        attachment->detach(&status);
    } catch (const FbException& error) {
        Report("detach", error);
        attachment->release();  // a connection that went away is dropped all the same
    }
    attachment = nullptr;
    gone = false;  // it is left either way
    return true;
}
