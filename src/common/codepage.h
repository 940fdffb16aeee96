#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Texts inside the program are kept as code-page (CP932, Shift-JIS) bytes: exactly the bytes that
// the database and the settings file hold. These functions cross between those bytes and UTF-8.

// True for a byte that starts a double-byte character; the byte after it belongs to the same
// character and is never read on its own (it may be a backslash).
bool IsLeadByte(unsigned char byte);

// The text with the JIS forms of the characters the code page keeps under their Windows forms
// (wave dash, double vertical line, minus, cent, pound, not sign, em dash) replaced by those forms.
std::string UnifyJisVariants(std::string_view utf8);

// UTF-8 to CP932 (JIS forms of characters taken as their Windows forms, see UnifyJisVariants); nothing when
// the text holds a character that CP932 cannot represent exactly (one that would read back as another) or is
// not valid UTF-8. Never substitutes a '?'.
std::optional<std::string> Cp932FromUtf8(std::string_view utf8);

// CP932 to UTF-8. Bytes that are not valid CP932 (a database written by another client, a damaged
// settings file) become U+FFFD, so whatever the bytes are, the rest of the text still shows.
std::string Utf8FromCp932(std::string_view cp932);
// Appends the UTF-8 form of one UTF-16 unit that is not a surrogate.
void AppendUtf8(std::string& out, char16_t unit);
// The same as UTF-16 into `out`, which has room for one unit per byte of `cp932`; the units written.
std::size_t Utf16FromCp932(std::string_view cp932, char16_t* out);

// A text of the program's own written in the source as UTF-8, as code-page bytes.
std::string Cp932(std::string_view utf8);

// The longest prefix of at most maxBytes bytes that does not split a double-byte character.
std::string CutToBytes(std::string_view cp932, std::size_t maxBytes);
