#pragma once

#include <functional>
#include <string>
#include <string_view>

// Gives the remote name for a two-character drive text such as "X:", or the text unchanged.
using DriveResolver = std::function<std::string(std::string_view drive)>;

// True for a code-page path on a drive from D to Z (upper-case letter, then ':'): the drives that
// may be redirected to a network share.
bool OnRedirectableDrive(std::string_view path);

// A code-page path on a drive from D to Z (upper-case letter, then ':') with that drive replaced by
// what `resolver` answers for it; every other path unchanged. Drives A to C are never asked about.
std::string ResolveDriveOfPath(std::string_view path, const DriveResolver& resolver);
