#include "storage/credentials.h"

#include <cstdlib>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

Credentials FirebirdCredentials() {
    // Firebird's own convention: a user and password in the environment are the ones to use.
    Credentials fromEnvironment{Variable("ISC_USER"), Variable("ISC_PASSWORD")};
    if (!fromEnvironment.user.empty() && !fromEnvironment.password.empty()) {
        return fromEnvironment;
    }
    return Credentials{"SYSDBA", "riverbank"};
}
