#pragma once

#include <functional>

#include "common/connection_settings.h"
#include "storage/database.h"

// Another desktop in the middle of a write: on a connection of its own, on a thread of its own, it
// runs `write` in one transaction and keeps that open while `meanwhile` runs here, committing once
// `meanwhile` has returned (or after a minute, so that a `meanwhile` that waits for it ends).
// Answers whether `meanwhile` returned while the other desktop's write was still uncommitted.
bool WhileAnotherDesktopWrites(const ConnectionSettings& settings,
                               const std::function<bool(Database&)>& write,
                               const std::function<void()>& meanwhile);
