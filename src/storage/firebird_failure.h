#pragma once

#include <firebird/Interface.h>

#include <string>

// What kind of trouble a Firebird error vector tells of, from its codes rather than its words.
enum class FailureKind {
    Missing,      // the database file is not there
    Unreachable,  // no server answers, or the connection went away
    Damaged,      // the file is there and is not a sound database
    Other,
};

FailureKind ClassifyFailure(const Firebird::IStatus* status);

// Firebird's words for the error, UTF-8.
std::string FailureWords(Firebird::IUtil* util, const Firebird::IStatus* status);
