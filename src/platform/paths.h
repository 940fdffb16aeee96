#pragma once

#include <QString>
#include <string_view>

// The folder separator of the platform's paths: "\" on Windows, "/" elsewhere.
QString FolderSeparator();
// The bytes that end a folder in a stored path: "\" and ":" on Windows, "/" elsewhere.
std::string_view PathSeparators();
