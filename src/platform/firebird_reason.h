#pragma once

#include <QString>
#include <string>

// `message` with Firebird's own words for what went wrong on the lines below it, so the user (or
// whoever the user asks) can see why. Firebird's words name files in the file system's encoding,
// UTF-8. Without words the message stands alone.
QString WithFirebirdReason(const QString& message, const std::string& reason);
