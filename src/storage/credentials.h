#pragma once

#include <string>

// Who the program is to Firebird when it creates or attaches a database or asks its services.
struct Credentials {
    std::string user;
    std::string password;
};

// ISC_USER and ISC_PASSWORD when both are set, as every Firebird tool takes them; otherwise the
// program's fixed administrator and password. The password is never shown or written anywhere.
Credentials FirebirdCredentials();
