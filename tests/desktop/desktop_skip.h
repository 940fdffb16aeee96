#pragma once

#include <string>

// Why the private desktop could not be started; empty when it runs.
inline std::string& DesktopUnavailable() {
    static std::string why;
    return why;
}
