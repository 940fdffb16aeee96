#pragma once

#include <firebird/Interface.h>

#include <string>

#include "storage/database_presence.h"

// What kind of trouble a Firebird error vector tells of, from its codes rather than its words.
enum class FailureKind {
    Missing,      // the database file is not there
    Unreachable,  // no server answers, or the connection went away
    Damaged,      // a page, record, index or blob of the database is not sound
    Format,       // the file is no database this Firebird reads: another on-disk structure, or none
    Other,
};

FailureKind ClassifyFailure(const Firebird::IStatus* status);
// The on-disk structures an error vector names: the file's and the one this Firebird reads.
OnDiskStructures StructuresOf(const Firebird::IStatus* status);

// Firebird's words for the error, UTF-8.
std::string FailureWords(Firebird::IUtil* util, const Firebird::IStatus* status);
