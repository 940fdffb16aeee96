#pragma once

#include <string>
#include <string_view>

// Sixteen hexadecimal digits (FNV-1a, 64 bits) standing for the bytes: other bytes, almost surely
// other digits. Not a protection against anyone; a short name for a long text.
std::string Fingerprint(std::string_view bytes);
