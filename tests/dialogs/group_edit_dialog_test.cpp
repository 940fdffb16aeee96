#include "dialogs/group_edit_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/codepage.h"
#include "dialog_fixture.h"
#include "storage/schema.h"

namespace {

class EditDialogTest : public DialogTest {
protected:
    void SetUp() override {
        CreateGroupDatabase();
        InsertGroupRow(stored);
        dialog.GroupNo = 3;
    }

    // Group 3 with some NULL texts, a negative X and a NULL Y.
    const GroupRecord stored{"3",    "'name'", "'title'", "NULL", "'author'", "'m1'",
                             "NULL", "'m3'",   "'a.ico'", "-5",   "NULL"};
    const GroupRecord storedTexts{"3", "name", "title", "", "author", "m1", "", "m3", "a.ico", "-5", ""};
    TForm5 dialog{context, database};
};

TEST_F(EditDialogTest, looksAsTheEditingDialog) {
    EXPECT_EQ(dialog.windowTitle(), "グループ編集");
    EXPECT_EQ(dialog.size(), QSize(451, 249));
    EXPECT_EQ(ButtonOf(dialog, "Button1")->text(), "編集登録(&S)");
    EXPECT_TRUE(ButtonOf(dialog, "Button1")->isDefault());
}

TEST_F(EditDialogTest, showsTheStoredRowWithNullsAsEmptyFields) {
    ShowActive(dialog);
    const char* const edits[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5",
                                 "Edit6", "Edit7", "Edit8", "Edit9"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(EditOf(dialog, edits[i])->text().toStdString(), storedTexts[i]) << edits[i];
    }
    EXPECT_EQ(dialog.LoadedX, "-5");
    EXPECT_EQ(dialog.LoadedY, "");
    EXPECT_EQ(QApplication::focusWidget(), EditOf(dialog, "Edit2"));
    EXPECT_TRUE(ButtonOf(dialog, "Button1")->isEnabled());
}

TEST_F(EditDialogTest, aSaveStoresTheTextsAndNullsAndLeavesNumberAndPositionAlone) {
    ShowActive(dialog);
    Erase(EditOf(dialog, "Edit3"));
    Type(EditOf(dialog, "Edit4"), QStringLiteral("新しい副題"));
    Erase(EditOf(dialog, "Edit2"));
    Type(EditOf(dialog, "Edit2"), QStringLiteral("改名"));
    Click(dialog, "Button1");
    EXPECT_EQ(prompts.messages, QStringList{"編集登録OK"});
    EXPECT_TRUE(dialog.Registered);
    EXPECT_EQ(dialog.GroupNo, 3);
    EXPECT_FALSE(dialog.isVisible());

    GroupRecord expected = storedTexts;
    expected[kGroupName] = Cp932("改名");
    expected[kGroupMainTitle] = "";
    expected[kGroupSubTitle] = Cp932("新しい副題");
    EXPECT_EQ(ReadGroup(3), expected);
    EXPECT_EQ(CountGroups("N=3 AND MTITLE IS NULL AND MEMO2 IS NULL AND Y IS NULL"), 1);

    ShowActive(dialog);  // the next showing reads the row again
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(EditOf(dialog, "Edit2")->text(), "改名");
    EXPECT_EQ(EditOf(dialog, "Edit3")->text(), "");
}

TEST_F(EditDialogTest, savingWithoutAChangeRewritesTheSameRow) {
    ShowActive(dialog);
    QTest::keyClick(EditOf(dialog, "Edit2"), Qt::Key_Return);
    EXPECT_EQ(prompts.messages, QStringList{"編集登録OK"});
    EXPECT_EQ(ReadGroup(3), storedTexts);
    EXPECT_EQ(CountGroups(""), 1);
}

TEST_F(EditDialogTest, clearThenSaveStoresNullInAllEightTexts) {
    ShowActive(dialog);
    Click(dialog, "Button2");
    EXPECT_EQ(EditOf(dialog, "Edit1")->text(), "3");
    Click(dialog, "Button1");
    EXPECT_TRUE(dialog.Registered);
    EXPECT_EQ(
        CountGroups("N=3 AND GRPNAME IS NULL AND MTITLE IS NULL AND STITLE IS NULL AND PNAME IS NULL AND "
                    "MEMO1 IS NULL AND MEMO2 IS NULL AND MEMO3 IS NULL AND ICONP IS NULL AND X=-5"),
        1);
}

TEST_F(EditDialogTest, closingWithoutSavingLeavesTheRowAndForgetsWhatWasTyped) {
    ShowActive(dialog);
    Type(EditOf(dialog, "Edit6"), "typed");
    Click(dialog, "Button3");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(ReadGroup(3), storedTexts);

    ShowActive(dialog);
    EXPECT_EQ(EditOf(dialog, "Edit6")->text(), "m1");
    QTest::keyClick(EditOf(dialog, "Edit6"), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Registered);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(EditDialogTest, aQuoteIsRefusedAndARowTheServerRefusesIsReported) {
    ShowActive(dialog);
    Type(EditOf(dialog, "Edit8"), "\"");
    Click(dialog, "Button1");
    EXPECT_EQ(prompts.messages, QStringList{"引用符「'」「\"」を入力しないで下さい"});
    EXPECT_EQ(QApplication::focusWidget(), EditOf(dialog, "Edit2"));

    Erase(EditOf(dialog, "Edit8"));
    const QString longName = QString(37, QLatin1Char('p')) + ".bmp";
    prompts.ChooseNextPicture(MakeImgFile(longName));
    Click(dialog, "Button4");
    Click(dialog, "Button1");
    EXPECT_EQ(prompts.messages.last(), "編集登録失敗");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(EditOf(dialog, "Edit9")->text(), longName);
    EXPECT_EQ(ReadGroup(3), storedTexts);
}

TEST_F(EditDialogTest, aGroupThatIsGoneShowsEmptyFieldsAndCannotBeSaved) {
    dialog.GroupNo = 99;
    ShowActive(dialog);
    for (const char* name : {"Edit1", "Edit2", "Edit9"}) {
        EXPECT_EQ(EditOf(dialog, name)->text(), "") << name;
    }
    Type(EditOf(dialog, "Edit2"), "x");
    Click(dialog, "Button1");
    EXPECT_EQ(prompts.messages, QStringList{"編集登録失敗"});
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(CountGroups(""), 1);
}

TEST_F(EditDialogTest, aStoredTextTheCodePageCannotReadIsNotWrittenBackDamaged) {
    // Bytes another client left that are no CP932 text: shown replaced, never saved as '?'.
    ASSERT_TRUE(database.UpdateSet(kGroupTable, "MEMO1='\x85\x40'", "N=3"));
    ShowActive(dialog);
    Click(dialog, "Button1");
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_NE(prompts.messages[0], "編集登録OK");
    EXPECT_EQ(QApplication::focusWidget(), EditOf(dialog, "Edit6"));
    EXPECT_FALSE(dialog.Registered);
    EXPECT_EQ(ReadGroup(3)[kGroupMemo1], "\x85\x40");
}

}  // namespace
