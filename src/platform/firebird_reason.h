#pragma once

#include <QString>
#include <string>

// `message` with Firebird's own words for what went wrong on the lines below it, so the user (or
// whoever the user asks) can see why; a sentence of the program's own says first what they mean when
// they tell of a missing folder or file, a file in use, no permission, a file that is no database,
// refused credentials or no server. Firebird's words name files in the file system's encoding,
// UTF-8. Without words the message stands alone.
QString WithFirebirdReason(const QString& message, const std::string& reason);
