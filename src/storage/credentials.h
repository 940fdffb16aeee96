#pragma once

#include <string>

// Who the program is to Firebird when it creates or attaches a database or asks its services.
struct Credentials {
    std::string user;
    std::string password;
};

// The program's fixed administrator and password.
Credentials FirebirdCredentials();
