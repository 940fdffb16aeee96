// A program that opens databases as the program does, for the tests of the engine's server mode: its
// engine reads the firebird.conf the FIREBIRD variable names, once, so each such test starts one.
// It sets the lock folder up as main() does, creates and attaches an embedded database in the folder
// given (UTF-8), and one of its own alone (private), and prints what it found, one fact a line.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/codepage.h"
#include "common/file_name_locale.h"
#include "storage/database.h"
#include "storage/firebird_lock_folder.h"
#include "storage/private_database.h"

int main(int argc, char** argv) {
    UseOwnFirebirdLockFolder();
    UseUtf8FileNames();
    if (argc < 2) {
        return 2;
    }
    const char* lock = std::getenv("FIREBIRD_LOCK");
    const std::optional<ServerMode> mode = EngineServerMode();
    std::printf("mode %s\nlock %s\nrefusal %s\n", mode ? ServerModeName(*mode) : "unknown", lock ? lock : "",
                EmbeddedUseRefusal().c_str());
    ConnectionSettings settings = ConnectionSettings::Defaults();
    settings.serverPrefix.clear();
    settings.dataFolder = Cp932(argv[1]);
    settings.databaseName = "QRTDB.FDB";
    Database database(settings);
    database.CreateDatabase();
    std::printf("created %d %s\n", database.Attached() ? 1 : 0, database.LastError().c_str());
    database.DisconnectDatabase();
    database.ConnectDatabase();
    std::printf("attached %d %s\n", database.Attached() ? 1 : 0, database.LastError().c_str());
    database.DisconnectDatabase();
    settings.dataFolder += "/";
    settings.databaseName = "PRIVATE.FDB";
    const PrivateDatabase own(Utf8FromCp932(settings.DatabasePath()));
    Database alone(settings);
    alone.CreateDatabase();
    std::printf("private %d %s\n", alone.Attached() ? 1 : 0, alone.LastError().c_str());
    return 0;
}
