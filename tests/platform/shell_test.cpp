#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/open_reasons.h"
#include "platform/shell.h"
#include "support/scoped_environment.h"

TEST(SystemShell, drivesAreNeverRedirectedWithoutDriveLetters) {
    const std::unique_ptr<Shell> shell = MakeSystemShell();
    EXPECT_EQ(shell->RemoteNameOfDrive("X:"), "X:");
    EXPECT_EQ(shell->RemoteNameOfDrive("D:"), "D:");
}

TEST(SystemShell, everyKindOfFileHasAnIcon) {
    const std::unique_ptr<Shell> shell = MakeSystemShell();
    for (const char* name : {"a.txt", "平面図.dwg", "README"}) {
        EXPECT_FALSE(shell->IconOfType(QString::fromUtf8(name)).isNull()) << name;
    }
}

namespace {

struct OpenerCase {
    const char* script;  // the xdg-open found on PATH; null for none
    QString reason;      // what the user is told
};

}  // namespace

TEST(SystemShell, aFileTheDesktopCannotOpenIsToldWhy) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("軸組図.dxf"));
    const QString said = QStringLiteral("xdg-open: no method available for opening '%1'").arg(path);
    const OpenerCase cases[] = {
        {nullptr, NoOpenerReason(path)},
        {"echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3", NoProgramReason(path, said)},
        {"echo 'gio: Operation not supported' >&2; exit 4",
         NotOpenedReason(path, QStringLiteral("gio: Operation not supported"))},
    };
    const std::unique_ptr<Shell> shell = MakeSystemShell();
    for (const OpenerCase& c : cases) {
        QTemporaryDir bin;
        if (c.script != nullptr) {
            QFile opener(bin.filePath(QStringLiteral("xdg-open")));
            ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
            opener.write(QByteArray("#!/bin/sh\n") + c.script + "\n");
            opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const ScopedEnvironment onlyThere("PATH", bin.path().toLocal8Bit().constData());
        QStringList told;
        shell->OpenDocument(nullptr, path, [&](const QString& reason) { told << reason; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 10000));
        EXPECT_EQ(told, QStringList{c.reason}) << (c.script != nullptr ? c.script : "no opener");
    }
}
