#pragma once

#include <string>
#include <string_view>

// The code-page text without single quotes, double quotes and control bytes (below 32), for file and
// folder names that go into the database. The second byte of a double-byte character is kept
// unread; a lead byte at the very end, whose character is cut off, is dropped.
std::string StripQuotes(std::string_view cp932);
