#pragma once

#include <optional>
#include <string>

// Sets an environment variable (or, given nullptr, removes it) until it goes out of scope, then
// puts back what was there.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static void Put(const std::string& name, const char* value);

    std::string name_;
    std::optional<std::string> previous_;
};
