#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "common/file_name_locale.h"
#include "storage/firebird_lock_folder.h"

int main(int argc, char** argv) {
    UseOwnFirebirdLockFolder();  // as the program does
    // The file list writes thumbnails into the desktop's cache: the tests' go to a folder of their own.
    const QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    UseUtf8FileNames();  // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
