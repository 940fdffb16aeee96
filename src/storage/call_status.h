#pragma once

#include <firebird/Interface.h>

#include "storage/statement_deadline.h"

// The status of a connection's calls: it throws Firebird's exception for a failed call, as
// ThrowStatusWrapper does, and every call starts and ends through it, which is where each call's
// deadline runs from. Owns the status it wraps. Firebird's own types: only for the storage layer's
// sources.
class CallStatus : public Firebird::BaseStatusWrapper<CallStatus> {
public:
    explicit CallStatus(Firebird::IMaster* master) : BaseStatusWrapper(master->getStatus()) {}
    ~CallStatus() { status->dispose(); }
    CallStatus(const CallStatus&) = delete;
    CallStatus& operator=(const CallStatus&) = delete;

    static void clearException(CallStatus* wrapper) {
        wrapper->BaseStatusWrapper::clearException();
        StatementDeadline::CallBoundary();
    }
    static void checkException(CallStatus* wrapper) {
        StatementDeadline::CallBoundary();
        if (wrapper->dirty && (wrapper->getState() & Firebird::IStatus::STATE_ERRORS)) {
            throw Firebird::FbException(wrapper->status);
        }
    }
};
