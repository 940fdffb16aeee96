#pragma once

#include <string>

#include "common/connection_settings.h"

// Whether a database can be attached, and if not, why: told apart by Firebird's error codes, so
// that a damaged file is not taken for a missing one or a server that is down, nor a sound file of
// another Firebird (or none at all) for a damaged one.
enum class DatabaseState { Attachable, Missing, Unreachable, Damaged, Format, Refused };

// The on-disk structure ("13.0") of a database file that this Firebird does not read, and the one it
// reads ("12.2"); both empty where the file is no database at all.
struct OnDiskStructures {
    std::string found;
    std::string read;
    bool newer = false;  // the file's is the newer one
};

struct DatabaseProbe {
    DatabaseState state = DatabaseState::Refused;
    std::string words;            // Firebird's words when not attachable, UTF-8
    OnDiskStructures structures;  // for Format
};

// Attaches on a connection of its own and detaches at once.
DatabaseProbe ProbeDatabase(const ConnectionSettings& database);

// Removes the database at `database` through Firebird (the embedded engine or its server); false
// when it cannot be attached alone or dropped.
bool DropDatabase(const ConnectionSettings& database);
