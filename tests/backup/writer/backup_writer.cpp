// A program that attaches a database as the program does (its attachment noted beside the
// backups), then writes registrations without end until it is killed: a run that never detaches.
//   backup_writer <server prefix> <data folder> <database name> <backups folder>
// Says "writing" once its first rows are committed.
#include <array>
#include <cstdio>

#include "backup/attachment_marker.h"
#include "common/file_name_locale.h"
#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/schema.h"

int main(int argc, char** argv) {
    UseUtf8FileNames();
    if (argc != 5) {
        return 2;
    }
    ConnectionSettings settings = ConnectionSettings::Defaults();
    settings.serverPrefix = argv[1];
    settings.dataFolder = argv[2];
    settings.databaseName = argv[3];
    Database database(settings);
    database.ConnectDatabase();
    if (!database.Attached() || !attachment_marker::Place(argv[4])) {
        return 1;
    }
    for (int number = 1000;; ++number) {
        const std::array<std::string, 3> row{SqlNumber(number), SqlText("killed.qrt"), SqlText("/data/")};
        if (!database.InsertRow(FileTableName(1), FileColumnNames(), row)) {
            return 1;
        }
        if (number == 1020) {
            std::puts("writing");
            std::fflush(stdout);
        }
    }
}
