// qarto-groups-prepare SETTINGS_FILE DATA_FOLDER: the starter's first-start set-up for a build, which
// scripts/run calls before it starts the program from build/bin/.
#include <iostream>

#include "common/file_name_locale.h"
#include "starter/first_start.h"
#include "storage/firebird_lock_folder.h"

int main(int argc, char** argv) {
    UseOwnFirebirdLockFolder();
    UseUtf8FileNames();
    if (argc != 3) {
        std::cerr << "usage: qarto-groups-prepare SETTINGS_FILE DATA_FOLDER\n";
        return 2;
    }
    std::string reason;
    const FirstStart outcome = PrepareFirstStart(argv[1], argv[2], &reason);
    const std::string problem = FirstStartProblem(outcome, reason);
    if (!problem.empty()) {
        std::cerr << "qarto-groups-prepare: " << argv[1] << " " << argv[2] << ": " << problem << '\n';
        return 1;
    }
    return 0;
}
