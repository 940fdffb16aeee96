#include "storage/credentials.h"

Credentials FirebirdCredentials() {
    return Credentials{"SYSDBA", "riverbank"};
}
