#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/shell.h"

TEST(SystemShell, drivesAreNeverRedirectedWithoutDriveLetters) {
    const std::unique_ptr<Shell> shell = MakeSystemShell();
    EXPECT_EQ(shell->RemoteNameOfDrive("X:"), "X:");
    EXPECT_EQ(shell->RemoteNameOfDrive("D:"), "D:");
}

TEST(SystemShell, existingFileHasAnIcon) {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("text");
    file.close();
    EXPECT_FALSE(MakeSystemShell()->AssociatedIcon(file.fileName()).isNull());
}
