#include "dialogs/database_name_rules.h"

#include <gtest/gtest.h>

#include "platform/paths.h"

TEST(DatabaseFileName, upperCasesAndAddsTheDefaultExtension) {
    EXPECT_EQ(DatabaseFileName("mydb"), "MYDB.FDB");
    EXPECT_EQ(DatabaseFileName("QRTDB.FDB"), "QRTDB.FDB");
    EXPECT_EQ(DatabaseFileName("ｍｙ"), "ＭＹ.FDB");
}

TEST(DatabaseFileName, keepsAnyExtensionEvenABareDot) {
    EXPECT_EQ(DatabaseFileName("data.gdb"), "DATA.GDB");
    EXPECT_EQ(DatabaseFileName("x."), "X.");
    EXPECT_EQ(DatabaseFileName("a.b.c"), "A.B.C");
}

TEST(DatabaseFileName, aDotBeforeTheLastFolderOrDriveIsNoExtension) {
    EXPECT_EQ(DatabaseFileName("sub\\mydb"), "SUB\\MYDB.FDB");
    EXPECT_EQ(DatabaseFileName("old.dir\\mydb"), "OLD.DIR\\MYDB.FDB");
    EXPECT_EQ(DatabaseFileName("c.x:mydb"), "C.X:MYDB.FDB");
    EXPECT_EQ(DatabaseFileName("sub\\my.db"), "SUB\\MY.DB");
}

TEST(DatabaseFileName, thePlatformsFolderSeparatorEndsAFolderToo) {
    const QString separator = FolderSeparator();
    EXPECT_EQ(DatabaseFileName("old.dir" + separator + "mydb"), "OLD.DIR" + separator + "MYDB.FDB");
}

TEST(IsBlankEntry, onlyCodesUpTo32AreBlank) {
    EXPECT_TRUE(IsBlankEntry(""));
    EXPECT_TRUE(IsBlankEntry(" \t\r\n "));
    EXPECT_FALSE(IsBlankEntry(" a "));
    // The ideographic space is a character of its own, not a blank.
    EXPECT_FALSE(IsBlankEntry(QStringLiteral("　")));
}
