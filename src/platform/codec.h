#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

// The widget side of the code page: QString <-> CP932 bytes.

// Bytes from the database or the settings file for display; invalid bytes show as U+FFFD.
QString FromCp932(std::string_view cp932);
// Nothing when the text holds a character CP932 cannot represent.
std::optional<std::string> ToCp932(const QString& text);
// Length in code-page bytes (a double-byte character counts two); -1 when not representable.
int Cp932Length(const QString& text);
