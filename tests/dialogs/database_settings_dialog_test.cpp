#include "dialogs/database_settings_dialog.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/codepage.h"
#include "dialog_fixture.h"
#include "platform/codec.h"
#include "storage/schema.h"

namespace {

const QString kCannotAttach = QStringLiteral("データベースが作成・接続出来ません。設定を確認して下さい。");

class SettingsDialogTest : public DialogTest {
protected:
    SettingsDialogTest() { context.settings = ConnectionSettings::Defaults(); }

    // Replaces an entry's text the way the user does.
    void Enter(const char* edit, const QString& text) {
        Erase(EditOf(dialog, edit));
        Type(EditOf(dialog, edit), text);
    }
    // Enters the test location with `name` as the database name.
    void EnterLocation(const QString& name) {
        Enter("Edit1", FromCp932(location.settings().serverPrefix));
        Enter("Edit2", FromCp932(location.folder()));
        Enter("Edit3", name);
    }
    void ExpectRefused(const QString& message, const char* focus) {
        EXPECT_EQ(prompts.messages, QStringList{message});
        EXPECT_EQ(QApplication::focusWidget(), EditOf(dialog, focus));
        EXPECT_TRUE(dialog.isVisible());
        prompts.messages.clear();
    }

    TForm2 dialog{context, database};
};

TEST_F(SettingsDialogTest, looksAsTheSettingsDialog) {
    EXPECT_EQ(dialog.windowTitle(), "データベース設定");
    EXPECT_EQ(dialog.size(), QSize(251, 257));
    EXPECT_EQ(dialog.findChild<QLabel*>("Label5")->text(), "　又は、'localhost:'）");
    EXPECT_NE(dialog.findChild<QFrame*>("Bevel1"), nullptr);
    EXPECT_EQ(ButtonOf(dialog, "Button1")->text(), "OK(&Y)");
    EXPECT_EQ(ButtonOf(dialog, "Button2")->text(), "キャンセル(&N)");
    EXPECT_TRUE(ButtonOf(dialog, "Button1")->isDefault());
    EXPECT_TRUE(EditOf(dialog, "Edit3")->toolTip().startsWith("データベース名（ファイル名）"));
}

TEST_F(SettingsDialogTest, showingFillsTheEntriesFromTheSettings) {
    context.settings.dataFolder = Cp932("/データ/");
    ShowActive(dialog);
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "localhost:");
    EXPECT_EQ(EditOf(dialog, "Edit2")->text(), "/データ/");
    EXPECT_EQ(EditOf(dialog, "Edit3")->text(), "QRTDB.FDB");
    EXPECT_EQ(EditOf(dialog, "Edit4")->text(), "PCユーザー名");
    EXPECT_EQ(QApplication::focusWidget(), EditOf(dialog, "Edit1"));
}

TEST_F(SettingsDialogTest, refusalsComeInOrderAndLeaveTheSettingsUntouched) {
    const ConnectionSettings before = context.settings;
    ShowActive(dialog);
    Enter("Edit2", " \t ");
    Enter("Edit3", " ");
    Enter("Edit4", "o'neil");
    Click(dialog, "Button1");
    ExpectRefused("サーバーのデータのフォルダを入力して下さい", "Edit2");

    Enter("Edit2", "/data/");
    QTest::keyClick(EditOf(dialog, "Edit2"), Qt::Key_Return);
    ExpectRefused("データベース名を入力して下さい", "Edit3");

    Enter("Edit3", "mydb");
    Click(dialog, "Button1");
    ExpectRefused("引用符「'」「\"」を入力しないで下さい", "Edit4");
    Enter("Edit4", "say \"hi\"");
    Click(dialog, "Button1");
    ExpectRefused("引用符「'」「\"」を入力しないで下さい", "Edit4");

    EXPECT_EQ(context.settings.serverPrefix, before.serverPrefix);
    EXPECT_EQ(context.settings.dataFolder, before.dataFolder);
    EXPECT_EQ(context.settings.databaseName, before.databaseName);
    EXPECT_EQ(context.settings.userName, before.userName);
    EXPECT_FALSE(database.Attached());
}

TEST_F(SettingsDialogTest, okCreatesANewDatabaseAndClosesDetached) {
    ShowActive(dialog);
    EnterLocation("mydb");
    Enter("Edit4", "山田");
    Click(dialog, "Button1");
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(database.Attached());
    EXPECT_EQ(context.settings.serverPrefix, location.settings().serverPrefix);
    EXPECT_EQ(context.settings.dataFolder, location.folder());
    EXPECT_EQ(context.settings.databaseName, "MYDB.FDB");
    EXPECT_EQ(context.settings.userName, Cp932("山田"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(location.folder()) + "MYDB.FDB"));

    database.ConnectDatabase();  // what the main window does next: an empty database
    EXPECT_TRUE(database.Attached());
    EXPECT_FALSE(database.TableExists("GRPQRT"));
}

TEST_F(SettingsDialogTest, aFolderTypedOrChosenWithoutItsSeparatorGetsIt) {
    ShowActive(dialog);
    EnterLocation("mydb");
    std::string typed = location.folder();
    typed.pop_back();
    Enter("Edit2", FromCp932(typed));
    Click(dialog, "Button1");
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(context.settings.dataFolder, location.folder());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(location.folder()) + "MYDB.FDB"));

    ShowActive(dialog);
    prompts.ChooseNextFolder(FromCp932(typed));
    Click(dialog, "Button3");
    EXPECT_EQ(EditOf(dialog, "Edit2")->text(), FromCp932(location.folder()));
}

TEST_F(SettingsDialogTest, okAttachesAnExistingDatabaseWithoutTouchingIt) {
    context.settings = location.settings();
    CreateGroupDatabase();
    InsertGroupRow({"1", "'kept'", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "0", "0"});
    database.DisconnectDatabase();
    context.settings = ConnectionSettings::Defaults();

    ShowActive(dialog);
    EnterLocation("test.fdb");
    Click(dialog, "Button1");
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(context.settings.databaseName, "TEST.FDB");
    database.ConnectDatabase();
    EXPECT_EQ(ReadGroup(1)[kGroupName], "kept");
}

TEST_F(SettingsDialogTest, aFailureKeepsTheDialogOpenWithTheNewValuesInTheSettings) {
    ShowActive(dialog);
    EnterLocation("mydb");
    const QString missingFolder = " " + FromCp932(location.folder()) + "無いフォルダ/";
    Enter("Edit2", missingFolder);
    Click(dialog, "Button1");
    // Firebird's own reason follows on the lines below, naming the file readably.
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString shown = prompts.messages[0];
    EXPECT_EQ(shown.section('\n', 0, 0), kCannotAttach);
    EXPECT_EQ(shown.section('\n', 1, 1), "データベースファイルまたはフォルダがありません。");
    EXPECT_TRUE(shown.section('\n', 2).contains(missingFolder + "MYDB.FDB")) << shown.toStdString();
    ExpectRefused(shown, "Edit1");
    EXPECT_FALSE(database.Attached());
    EXPECT_EQ(context.settings.dataFolder, ToCp932(missingFolder));  // blanks are kept
    EXPECT_EQ(context.settings.databaseName, "MYDB.FDB");

    Click(dialog, "Button2");  // cancel keeps the values of the failed OK
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(context.settings.dataFolder, ToCp932(missingFolder));
}

TEST_F(SettingsDialogTest, escapeCancelsAndTheUserNameIsLimitedTo16Bytes) {
    const ConnectionSettings before = context.settings;
    ShowActive(dialog);
    Enter("Edit4", QString(9, QChar(0x5C71)));  // 山 x 9 = 18 bytes
    EXPECT_EQ(EditOf(dialog, "Edit4")->text(), QString(8, QChar(0x5C71)));
    Enter("Edit4", QString(17, QLatin1Char('u')));
    EXPECT_EQ(EditOf(dialog, "Edit4")->text(), QString(16, QLatin1Char('u')));
    Type(EditOf(dialog, "Edit2"), "😀");
    EXPECT_EQ(EditOf(dialog, "Edit2")->text(), "");
    QTest::keyClick(EditOf(dialog, "Edit4"), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(context.settings.userName, before.userName);
}

}  // namespace
