#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>

#include "board/program_fixture.h"
#include "common/codepage.h"

namespace {

using Startup = ProgramTest;

QList<QByteArray> LinesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace

TEST_F(Startup, windowsAreCreatedInTheirOrderAtTheirDesignedPlaces) {
    Start();
    const QList<QWidget*> children = board().findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const QList<QWidget*> dependants{&windows->form2, &windows->form3, &windows->form5, &windows->form4};
    QList<QWidget*> created;
    for (QWidget* child : children) {
        if (dependants.contains(child)) {
            created << child;
        }
    }
    EXPECT_EQ(created, dependants);
    for (QWidget* window : dependants) {
        EXPECT_TRUE(window->isWindow());
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(windows->form2.pos(), QPoint(250, 150));
    EXPECT_EQ(windows->form4.pos(), QPoint(240, 140));
    EXPECT_EQ(windows->form5.pos(), QPoint(260, 160));
    EXPECT_EQ(windows->form3.geometry().size(), QSize(654, 317));
    EXPECT_EQ(windows->form3.pos(), QPoint(193, 109));
}

TEST_F(Startup, firstRunShowsNothingAndWritesTwentyFourLinesAtClose) {
    context.fileCopyBuffer = {"/left/over.dwg"};
    Start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(board().StatusBar1->currentMessage(), TForm1::NoDatabaseHint());
    EXPECT_TRUE(context.fileCopyBuffer.empty());
    EXPECT_FALSE(board().database().Attached());
    EXPECT_EQ(context.settings.serverPrefix, "localhost:");
    EXPECT_EQ(context.appDir, appFolder.path() + "/");
    EXPECT_EQ(board().GroupSlots.SlotCount(), 0);
    ASSERT_FALSE(QFile::exists(SettingsPath()));

    board().move(300, 200);
    board().SetClientSize(640, 320);
    board().close();
    const QList<QByteArray> lines = LinesOf(SettingsPath());
    ASSERT_EQ(lines.size(), 24);
    for (const QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
    }
    EXPECT_EQ(lines[0], "localhost:\r");
    EXPECT_EQ(lines[1], "\r");
    EXPECT_EQ(lines[2], "QRTDB.FDB\r");
    EXPECT_EQ(lines[3], QByteArray::fromStdString(Cp932("PCユーザー名")) + '\r');
    EXPECT_EQ(lines.mid(4, 4), (QList<QByteArray>{"300\r", "200\r", "640\r", "320\r"}));
    EXPECT_EQ(lines.mid(8, 2), (QList<QByteArray>{"250\r", "150\r"}));
    EXPECT_EQ(lines.mid(10, 4), (QList<QByteArray>{"193\r", "109\r", "654\r", "317\r"}));
    EXPECT_EQ(lines.mid(14, 4), (QList<QByteArray>{"240\r", "140\r", "260\r", "160\r"}));
}

TEST_F(Startup, storedGeometryIsAppliedToAllFiveWindows) {
    WriteSettings(SettingsPlacingEveryWindow(), SettingsPath());
    Start();
    EXPECT_EQ(board().pos(), QPoint(50, 60));
    EXPECT_EQ(board().ClientSize(), QSize(700, 420));
    ExpectPlacedAsSaved(*windows);
}

TEST_F(Startup, aConfiguredDatabaseIsAttachedAndShown) {
    TestDatabaseLocation location;
    CreateDatabaseWithGroup(location, 3, "C", 5, 6);
    WriteSettings(location.settings());
    Start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(board().database().Attached());
    EXPECT_EQ(board().GroupSlots.SlotCount(), 3);
    ASSERT_NE(IconOf(board(), 3), nullptr);
    EXPECT_EQ(IconOf(board(), 3)->pos(), QPoint(5, 6));
    board().close();
    windows.reset();  // detached before the database's folder goes
}

TEST_F(Startup, anUnreachableDatabaseIsReportedOnceWithFirebirdsReasonAndTheBoardStaysEmpty) {
    ConnectionSettings unreachable = ConnectionSettings::Defaults();
    unreachable.serverPrefix = TestDatabaseLocation::ServerPrefix();
    unreachable.dataFolder = Cp932(appFolder.filePath("無いフォルダ/").toStdString());
    WriteSettings(unreachable);
    Start();
    ASSERT_EQ(prompts.messages.size(), 1);
    const QStringList lines = prompts.messages[0].split('\n');
    EXPECT_EQ(lines[0], "データベース接続が出来ません。設定を確認して下さい。");
    EXPECT_TRUE(lines.mid(1).join('\n').contains(appFolder.filePath("無いフォルダ/QRTDB.FDB")))
        << prompts.messages[0].toStdString();
    EXPECT_FALSE(board().database().Attached());
    EXPECT_EQ(board().GroupSlots.SlotCount(), 0);

    // Minimising and restoring is no new start.
    board().showMinimized();
    board().showNormal();
    EXPECT_EQ(prompts.messages.size(), 1);
    // The settings are written back as they were read.
    board().close();
    EXPECT_EQ(LinesOf(SettingsPath())[1], QByteArray::fromStdString(unreachable.dataFolder) + '\r');
}

TEST_F(Startup, aRenamedExecutableReadsAndWritesItsOwnSettingsFile) {
    ConnectionSettings named = ConnectionSettings::Defaults();
    named.serverPrefix = "other:";
    WriteSettings(named);  // beside the usual name: not read
    context.executablePath = appFolder.filePath("renamed.bin");
    const QString renamedSettings = appFolder.filePath("renamed.dat");
    named.serverPrefix = "renamed:";
    SavedSettings saved = DesignedSettings(named);
    saved.mainWindow = WindowRect{1, 2, 600, 300};
    WriteSettings(saved, renamedSettings);
    Start();
    EXPECT_EQ(context.settings.serverPrefix, "renamed:");
    EXPECT_EQ(context.settingsFileName, renamedSettings);
    EXPECT_EQ(board().pos(), QPoint(1, 2));
    board().close();
    EXPECT_EQ(LinesOf(renamedSettings)[0], "renamed:\r");
    EXPECT_EQ(LinesOf(SettingsPath())[0], "other:\r");
}

TEST_F(Startup, aDatabaseInAJapaneseFolderIsCreatedThroughTheDialogAndAttachedAtTheNextStart) {
    TestDatabaseLocation location;
    const QString folder = QString::fromStdString(location.folder()) + QStringLiteral("図面データ/");
    ASSERT_TRUE(QDir().mkpath(folder));
    Start();
    RunWithDialog([&] { board().mnuDBsetClick(); },
                  [&](QWidget& shown) {
                      Retype(EditIn(shown, "Edit1"),
                             QString::fromStdString(location.settings().serverPrefix));
                      Retype(EditIn(shown, "Edit2"), folder);
                      Retype(EditIn(shown, "Edit3"), QStringLiteral("図面.FDB"));
                      ClickIn(shown, "Button1");
                  });
    EXPECT_TRUE(prompts.messages.isEmpty());
    ASSERT_TRUE(board().database().Attached());
    EXPECT_TRUE(board().StatusBar1->currentMessage().isEmpty());
    // The file system names the file in its own encoding; the settings keep code-page bytes.
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("図面.FDB")));
    board().close();
    windows.reset();
    EXPECT_EQ(LinesOf(SettingsPath())[2], QByteArray::fromStdString(Cp932("図面.FDB")) + '\r');

    Start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(board().database().Attached());
    board().close();
    windows.reset();
}
