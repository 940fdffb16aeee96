#include <gtest/gtest.h>

#include "common/file_name_locale.h"

// main() for suites without widgets: the character set for file names is set up as the program's
// own start sets it, before the database client first reads a path.
int main(int argc, char** argv) {
    UseUtf8FileNames();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
