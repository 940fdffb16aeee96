#pragma once

#include <string>

#include "common/connection_settings.h"

// Whether a database can be attached, and if not, why: told apart by Firebird's error codes, so
// that a damaged file is not taken for a missing one or a server that is down.
enum class DatabaseState { Attachable, Missing, Unreachable, Damaged, Refused };

struct DatabaseProbe {
    DatabaseState state = DatabaseState::Refused;
    std::string words;  // Firebird's words when not attachable, UTF-8
};

// Attaches on a connection of its own and detaches at once.
DatabaseProbe ProbeDatabase(const ConnectionSettings& database);

// Removes the database at `database` through Firebird (the embedded engine or its server); false
// when it cannot be attached alone or dropped.
bool DropDatabase(const ConnectionSettings& database);
