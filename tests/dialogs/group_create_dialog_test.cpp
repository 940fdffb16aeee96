#include "dialogs/group_create_dialog.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "common/codepage.h"
#include "dialog_fixture.h"
#include "platform/codec.h"
#include "storage/schema.h"

namespace {

const QString kQuoteMessage = QStringLiteral("引用符「'」「\"」を入力しないで下さい");
const char* const kTextEdits[] = {"Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9"};

GroupRecord Row(const std::string& n, const std::string& name, const std::string& x, const std::string& y) {
    return {n, name, "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", x, y};
}

class CreateDialogTest : public DialogTest {
protected:
    void ClearAll() { Click(dialog, "Button2"); }

    TForm4 dialog{context, database};
};

TEST_F(CreateDialogTest, looksAsTheCreationDialog) {
    EXPECT_EQ(dialog.windowTitle(), "グループ作成");
    EXPECT_EQ(dialog.size(), QSize(451, 249));
    EXPECT_EQ(ButtonOf(dialog, "Button1")->text(), "作成(&M)");
    EXPECT_EQ(ButtonOf(dialog, "Button2")->text(), "クリア(&C)");
    EXPECT_EQ(ButtonOf(dialog, "Button3")->text(), "閉じる(&X)");
    EXPECT_EQ(ButtonOf(dialog, "Button4")->text(), "参照");
    EXPECT_TRUE(ButtonOf(dialog, "Button1")->isDefault());
    EXPECT_TRUE(EditOf(dialog, "Edit1")->isReadOnly());
    EXPECT_FALSE(EditOf(dialog, "Edit1")->focusPolicy() & Qt::TabFocus);
}

TEST_F(CreateDialogTest, firstGroupOfANewDatabaseCreatesTheMasterTableAndGetsNumberOne) {
    database.CreateDatabase();
    ASSERT_TRUE(database.Attached());
    ShowActive(dialog);
    EXPECT_TRUE(database.TableExists("GRPQRT"));
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "1");
    EXPECT_EQ(EditOf(dialog, "Edit5")->text(), "PCユーザー名");
    EXPECT_EQ(QApplication::focusWidget(), EditOf(dialog, "Edit2"));

    Type(EditOf(dialog, "Edit2"), "A");
    QTest::keyClick(EditOf(dialog, "Edit2"), Qt::Key_Return);  // Enter presses create
    EXPECT_EQ(prompts.messages, QStringList{"登録OK"});
    EXPECT_TRUE(dialog.Registered);
    EXPECT_EQ(dialog.GroupNo, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ReadGroup(1), (GroupRecord{"1", "A", "", "", Cp932("PCユーザー名"), "", "", "", "", "0", "0"}));
}

TEST_F(CreateDialogTest, proposesTheLargestNumberPlusOneAndAsksAgainOnCreate) {
    CreateGroupDatabase();
    for (const char* n : {"1", "2", "5"}) {
        InsertGroupRow(Row(n, "'g'", "0", "0"));
    }
    ShowActive(dialog);
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "6");  // gaps 3 and 4 are not refilled

    InsertGroupRow(Row("6", "'other client'", "0", "0"));
    Click(dialog, "Button1");
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "7");
    EXPECT_EQ(dialog.GroupNo, 7);
    EXPECT_EQ(ReadGroup(7)[kGroupN], "7");
}

TEST_F(CreateDialogTest, emptyFieldsAreStoredAsNullAndBlanksAsBlanks) {
    CreateGroupDatabase();
    ShowActive(dialog);
    ClearAll();
    EXPECT_EQ(EditOf(dialog, "Edit5")->text(), "");  // clear empties the author too
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "1");
    Type(EditOf(dialog, "Edit4"), "  ");
    Click(dialog, "Button1");
    ASSERT_TRUE(dialog.Registered);
    EXPECT_EQ(CountGroups("GRPNAME IS NULL AND MTITLE IS NULL AND PNAME IS NULL AND MEMO1 IS NULL AND "
                          "MEMO2 IS NULL AND MEMO3 IS NULL AND ICONP IS NULL"),
              1);
    EXPECT_EQ(CountGroups("STITLE = '  '"), 1);
}

TEST_F(CreateDialogTest, aQuoteInAnyFieldIsRefusedWithTheFocusOnTheGroupName) {
    CreateGroupDatabase();
    ShowActive(dialog);
    for (const char* name : kTextEdits) {
        for (const QString& quoted : {QStringLiteral("it's"), QStringLiteral("say \"hi\"")}) {
            SCOPED_TRACE(std::string(name) + " " + quoted.toStdString());
            ClearAll();
            Type(EditOf(dialog, name), quoted);
            prompts.messages.clear();
            Click(dialog, "Button1");
            EXPECT_EQ(prompts.messages, QStringList{kQuoteMessage});
            EXPECT_EQ(QApplication::focusWidget(), EditOf(dialog, "Edit2"));
            EXPECT_EQ(EditOf(dialog, name)->text(), quoted);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_FALSE(dialog.Registered);
        }
    }
    EXPECT_EQ(CountGroups(""), 0);
}

TEST_F(CreateDialogTest, typingStopsAtTheColumnsWidthInCodePageBytes) {
    const std::pair<const char*, int> limits[] = {{"Edit2", 32}, {"Edit3", 80}, {"Edit4", 80}, {"Edit5", 16},
                                                  {"Edit6", 80}, {"Edit7", 80}, {"Edit8", 80}, {"Edit9", 40}};
    ShowActive(dialog);
    for (const auto& [name, bytes] : limits) {
        SCOPED_TRACE(name);
        QLineEdit* edit = EditOf(dialog, name);
        edit->clear();
        Type(edit, QString(bytes + 1, QLatin1Char('a')));
        EXPECT_EQ(edit->text().size(), bytes);
    }
    // A Japanese character counts two bytes: 16 of them fill the group name, and after 31 single-byte
    // characters a double-byte one no longer fits.
    QLineEdit* name = EditOf(dialog, "Edit2");
    name->clear();
    Type(name, QString(17, QChar(0x3042)));
    EXPECT_EQ(name->text(), QString(16, QChar(0x3042)));
    name->clear();
    Type(name, QString(31, QLatin1Char('a')) + QChar(0x3042) + "b");
    EXPECT_EQ(name->text(), QString(31, QLatin1Char('a')) + "b");
}

TEST_F(CreateDialogTest, aCharacterTheCodePageCannotHoldCannotBeTyped) {
    ShowActive(dialog);
    QLineEdit* title = EditOf(dialog, "Edit3");
    Type(title, QStringLiteral("表題😀€"));
    EXPECT_EQ(title->text(), "表題");
}

TEST_F(CreateDialogTest, browseTakesAPictureOfTheImgFolderByNameAndCopiesOneFromElsewhereInto) {
    ShowActive(dialog);
    MakeImgFile("a.ico");
    QFile inImg(MakeImgFile("c.ico"));
    ASSERT_TRUE(inImg.open(QIODevice::WriteOnly) && inImg.write("img's c") > 0);
    inImg.close();
    QTemporaryDir elsewhere;
    const QString longName = QStringLiteral("軸組図表ソ能_X1通り～X12通り_2026年度版.ico");  // 43 bytes
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("a.ico"), QByteArray()},
                                      {QStringLiteral("b.ico"), QByteArray("b")},
                                      {QStringLiteral("c.ico"), QByteArray("another c")},
                                      {longName, QByteArray("long")}}) {
        QFile file(elsewhere.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QLineEdit* icon = EditOf(dialog, "Edit9");
    Type(icon, "old.bmp");

    prompts.ChooseNextPicture(elsewhere.filePath("a.ico"));  // the img folder's own, by its bytes
    Click(dialog, "Button4");
    EXPECT_EQ(icon->text(), "a.ico");
    ASSERT_EQ(prompts.pictureRequests.size(), 1u);
    EXPECT_EQ(prompts.pictureRequests[0].folder, context.appDir + "img/");
    EXPECT_EQ(prompts.pictureRequests[0].fileName, "old.bmp");
    EXPECT_EQ(
        prompts.pictureRequests[0].filter,
        "グループアイコン画像 (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|ビットマップ (*.bmp)|*.bmp|"
        "アイコン (*.ico)|*.ico|エンハンス メタファイル (*.emf)|*.emf|メタファイル (*.wmf)|*.wmf");

    prompts.ChooseNextPicture("");  // cancelled
    Click(dialog, "Button4");
    EXPECT_EQ(icon->text(), "a.ico");

    // Copied into img under its name, numbered past another picture's, cut to the column.
    const std::vector<std::pair<QString, QString>> copies{
        {elsewhere.filePath("b.ico"), "b.ico"},
        {elsewhere.filePath("c.ico"), "c_2.ico"},
        {elsewhere.filePath(longName), QStringLiteral("軸組図表ソ能_X1通り～X12通り_2026年.ico")},
    };
    for (const auto& [chosen, placed] : copies) {
        prompts.ChooseNextPicture(chosen);
        Click(dialog, "Button4");
        EXPECT_EQ(icon->text(), placed);
        QFile copy(context.appDir + "img/" + placed);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        QFile original(chosen);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), original.readAll());
    }
    EXPECT_LE(Cp932Length(icon->text()), 40);
    EXPECT_TRUE(prompts.messages.isEmpty());

    // One that cannot be copied is refused, saying why, and the name stays.
    prompts.ChooseNextPicture(elsewhere.filePath("gone.ico"));
    Click(dialog, "Button4");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith(QStringLiteral("「") + elsewhere.filePath("gone.ico") +
                                               QStringLiteral("」をグループアイコン画像のフォルダ")));
    EXPECT_EQ(icon->text(), QStringLiteral("軸組図表ソ能_X1通り～X12通り_2026年.ico"));
}

TEST_F(CreateDialogTest, aPictureNameTheCodePageCannotHoldIsRefusedWhenChosen) {
    ShowActive(dialog);
    Type(EditOf(dialog, "Edit9"), "old.bmp");
    prompts.ChooseNextPicture(MakeImgFile(QStringLiteral("é€😀.ico")));
    Click(dialog, "Button4");
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(EditOf(dialog, "Edit9")->text(), "old.bmp");
}

TEST_F(CreateDialogTest, aTooLongNameFromBrowseIsRefusedByTheServerAndTheDialogStaysOpen) {
    CreateGroupDatabase();
    ShowActive(dialog);
    const QString longName = QString(37, QLatin1Char('p')) + ".ico";  // 41 bytes; the column holds 40
    prompts.ChooseNextPicture(MakeImgFile(longName));
    Click(dialog, "Button4");
    ASSERT_EQ(EditOf(dialog, "Edit9")->text(), longName);

    Click(dialog, "Button1");
    EXPECT_EQ(prompts.messages, QStringList{"登録失敗"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(EditOf(dialog, "Edit9")->text(), longName);
    EXPECT_EQ(CountGroups(""), 0);

    // The limit still holds for typing: the long name can be shortened, not lengthened.
    QLineEdit* icon = EditOf(dialog, "Edit9");
    icon->setFocus();
    QTest::keyClick(icon, Qt::Key_Home);
    Type(icon, "x");
    EXPECT_EQ(icon->text(), longName);
    QTest::keyClick(icon, Qt::Key_Delete);
    EXPECT_EQ(icon->text(), longName.mid(1));
    Type(icon, "x");
    EXPECT_EQ(icon->text(), longName.mid(1));
}

TEST_F(CreateDialogTest, fieldsStayBetweenShowingsExceptTheNumberAndTheAuthor) {
    CreateGroupDatabase();
    ShowActive(dialog);
    const std::pair<const char*, QString> typed[] = {{"Edit2", "group"}, {"Edit3", "title"}, {"Edit4", "sub"},
                                                     {"Edit5", "me"},    {"Edit6", "m1"},    {"Edit7", "m2"},
                                                     {"Edit8", "m3"},    {"Edit9", "x.ico"}};
    for (const auto& [name, text] : typed) {
        Erase(EditOf(dialog, name));
        Type(EditOf(dialog, name), text);
    }
    Click(dialog, "Button1");
    ASSERT_TRUE(dialog.Registered);
    EXPECT_EQ(ReadGroup(1)[kGroupAuthor], "me");

    ShowActive(dialog);
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "2");
    for (const auto& [name, text] : typed) {
        EXPECT_EQ(EditOf(dialog, name)->text(), std::string(name) == "Edit5" ? "PCユーザー名" : text) << name;
    }
}

TEST_F(CreateDialogTest, detachedCreateIsDisabledWhileClearAndCloseWork) {
    ShowActive(dialog);
    EXPECT_FALSE(ButtonOf(dialog, "Button1")->isEnabled());
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "");
    QTest::keyClick(EditOf(dialog, "Edit2"), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty());
    Type(EditOf(dialog, "Edit3"), "t");
    ClearAll();
    EXPECT_EQ(EditOf(dialog, "Edit3")->text(), "");

    QTest::keyClick(EditOf(dialog, "Edit2"), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Registered);

    database.CreateDatabase();  // attached at the next showing: create works again
    ShowActive(dialog);
    EXPECT_TRUE(ButtonOf(dialog, "Button1")->isEnabled());
}

TEST_F(CreateDialogTest, createIsDisabledWhenTheMasterTableCannotBeMade) {
    database.CreateDatabase();
    // A view of that name keeps the table from being created while not counting as one.
    ASSERT_TRUE(database.ExecuteScript({"CREATE VIEW GRPQRT (N) AS SELECT 1 FROM RDB$DATABASE;"}));
    ShowActive(dialog);
    EXPECT_FALSE(database.TableExists("GRPQRT"));
    EXPECT_FALSE(ButtonOf(dialog, "Button1")->isEnabled());
}

TEST_F(CreateDialogTest, theLargestPossibleNumberLeavesNoNextNumberAndCreateFails) {
    CreateGroupDatabase();
    InsertGroupRow(Row("2147483647", "'last'", "0", "0"));
    ShowActive(dialog);
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "");
    Type(EditOf(dialog, "Edit2"), "next");
    Click(dialog, "Button1");
    EXPECT_EQ(prompts.messages, QStringList{"登録失敗"});
    EXPECT_FALSE(dialog.Registered);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(CountGroups(""), 1);
}

TEST_F(CreateDialogTest, closingByEitherWayReportsNothingRegistered) {
    CreateGroupDatabase();
    ShowActive(dialog);
    Click(dialog, "Button3");
    EXPECT_FALSE(dialog.isVisible());
    ShowActive(dialog);
    dialog.close();  // the close box
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(CountGroups(""), 0);
}

TEST_F(CreateDialogTest, aModalShowingEndsWhenTheGroupIsCreated) {
    CreateGroupDatabase();
    QTimer::singleShot(10000, &dialog, &QDialog::reject);  // a failed create must not hang the run
    QTimer::singleShot(0, &dialog, [this] {
        Type(EditOf(dialog, "Edit2"), "modal");
        Click(dialog, "Button1");
    });
    dialog.exec();
    EXPECT_TRUE(dialog.Registered);
    EXPECT_EQ(ReadGroup(dialog.GroupNo)[kGroupName], "modal");
}

}  // namespace
