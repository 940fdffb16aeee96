#include <gtest/gtest.h>

#include "common/file_name_locale.h"
#include "storage/firebird_lock_folder.h"

// main() for suites without widgets: the lock folder and the character set for file names are set up
// as the program's own start sets them, before the database client first reads a path.
int main(int argc, char** argv) {
    UseOwnFirebirdLockFolder();
    UseUtf8FileNames();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
