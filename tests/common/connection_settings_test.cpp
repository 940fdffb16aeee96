#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/connection_settings.h"

TEST(ConnectionSettings, databasePathJoinsPrefixFolderAndName) {
    const ConnectionSettings defaults = ConnectionSettings::Defaults();
    EXPECT_EQ(defaults.serverPrefix, "localhost:");
    EXPECT_EQ(defaults.dataFolder, "");
    EXPECT_EQ(defaults.databaseName, "QRTDB.FDB");
    EXPECT_EQ(defaults.userName, Cp932("PCユーザー名"));
    EXPECT_EQ(defaults.DatabasePath(), "localhost:QRTDB.FDB");
    const ConnectionSettings server{"localhost:", "C:\\data\\", "QRTDB.FDB", ""};
    EXPECT_EQ(server.DatabasePath(), "localhost:C:\\data\\QRTDB.FDB");
    const ConnectionSettings embedded{"", "/srv/qarto/", "QRTDB.FDB", ""};
    EXPECT_EQ(embedded.DatabasePath(), "/srv/qarto/QRTDB.FDB");
}
