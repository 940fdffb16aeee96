#include "common/connection_settings.h"

#include "common/codepage.h"

ConnectionSettings ConnectionSettings::Defaults() {
    return ConnectionSettings{"localhost:", "", "QRTDB.FDB", Cp932("PCユーザー名")};
}
