#include "support/scoped_environment.h"

#include <cstdlib>

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* previous = std::getenv(name)) {
        previous_ = previous;
    }
    Put(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    Put(name_, previous_ ? previous_->c_str() : nullptr);
}

void ScopedEnvironment::Put(const std::string& name, const char* value) {
    if (value == nullptr) {
        unsetenv(name.c_str());
    } else {
        setenv(name.c_str(), value, 1);
    }
}
