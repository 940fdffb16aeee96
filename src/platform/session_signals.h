#pragma once

#include <functional>

// The session's requests to end the program (SIGTERM at log-out, SIGINT from Ctrl+C in the terminal,
// SIGHUP when the terminal goes): they reach the GUI thread as one call, whatever handlers the database
// client installs for itself.

// Holds those signals back from every thread; called first in main(), before any thread exists, so
// that all threads started later inherit it. Processes forked later start without it.
void HoldSessionSignals();
// From now on each held signal calls `endRun` on the GUI thread (once per signal).
void ForwardSessionSignals(std::function<void()> endRun);
