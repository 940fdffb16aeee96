#pragma once

#include <sys/types.h>

#include <QtGlobal>
#include <chrono>

// What the children that run work apart from the program share (POSIX).

// Caps the calling (child) process's address space at its present size plus the work's share.
void LimitChildMemory();
// Writes all of `data`; false when the other end is gone. Never raises SIGPIPE.
bool WriteAll(int descriptor, const char* data, qsizetype size);
// Reads exactly `size` bytes unless the deadline passes or the other end closes first.
bool ReadExactly(int descriptor, char* data, qsizetype size, std::chrono::steady_clock::time_point deadline);
// Waits for the child, killing it first when it is not to be waited for; true when it ended well.
bool EndChild(pid_t child, bool kill);
