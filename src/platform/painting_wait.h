#pragma once

#include <functional>

// Waits for an answer from a server while the windows go on painting, timers run and the session's
// signals are taken; what the user types or clicks meanwhile waits until the answer has come.
// `waitABit` blocks a little and answers whether the answer has come.
void WaitWhilePainting(const std::function<bool()>& waitABit);
