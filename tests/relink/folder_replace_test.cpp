#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/codepage.h"
#include "relink/folder_replace_dialog.h"
#include "relink_fixture.h"
#include "storage/schema.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FolderReplaceTest : public RelinkTest {
protected:
    FolderReplaceTest() : dialog(context, db, nullptr) {
        AddGroup(1, "A");
        AddGroup(2, "B");
        AddGroup(3, "C");
    }

    QLineEdit* Edit(const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    // Enters both folders (inserted as an input method does) and presses Enter in the second.
    void Replace(const QString& oldFolder, const QString& newFolder, bool answer) {
        ScriptedPrompts& prompts = static_cast<ScriptedPrompts&>(*context.prompts);
        dialog.Open();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_EQ(QApplication::focusWidget(), Edit("Edit1"));
        Edit("Edit1")->insert(oldFolder);
        Edit("Edit2")->setFocus();
        Edit("Edit2")->insert(newFolder);
        prompts.AnswerNextQuestion(answer);
        QTest::keyClick(Edit("Edit2"), Qt::Key_Return);
    }
    std::string Folder(int group, int row) { return StoredRows(group)[row][kFilePath]; }

    FolderReplaceDialog dialog;
};

TEST_F(FolderReplaceTest, countsFirstThenReplacesOnlyTheLeadingFolderInEveryGroup) {
    StoreRow(1, 1, "a.dwg", "/srv/old/");
    StoreRow(1, 2, "b.dwg", "/srv/old/sub/");
    StoreRow(1, 3, "c.dwg", "/srv/older/");
    StoreRow(2, 1, "d.dwg", "/x/srv/old/");
    StoreRow(3, 1, "e.dwg", "/srv/old/");

    Replace(QStringLiteral("/srv/old"), QStringLiteral("/mnt/new"), true);

    EXPECT_THAT(prompts.questions,
                ElementsAre(QStringLiteral("2グループの3件のフォルダを置換します。よろしいですか？")));
    EXPECT_THAT(prompts.messages, ElementsAre(QStringLiteral("3件のフォルダを置換しました。")));
    EXPECT_EQ(Folder(1, 0), "/mnt/new/");
    EXPECT_EQ(Folder(1, 1), "/mnt/new/sub/");
    EXPECT_EQ(Folder(1, 2), "/srv/older/");
    EXPECT_EQ(Folder(2, 0), "/x/srv/old/");
    EXPECT_EQ(Folder(3, 0), "/mnt/new/");
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FolderReplaceTest, tellsTheRowsItChangedNotTheOnesItCountedBeforeAsking) {
    StoreRow(1, 1, "a.dwg", "/srv/old/");
    StoreRow(1, 2, "b.dwg", "/srv/old/");
    // While the question is up, another desktop removes one of them and registers two more.
    struct Meanwhile : ScriptedPrompts {
        bool Question(QWidget* parent, const QString& text) override {
            act();
            return ScriptedPrompts::Question(parent, text);
        }
        std::function<void()> act;
    } meanwhile;
    meanwhile.act = [this] {
        ASSERT_TRUE(db.DeleteRows(FileTableName(1), "N=1"));
        StoreRow(1, 3, "c.dwg", "/srv/old/");
        StoreRow(1, 4, "d.dwg", "/srv/old/");
        StoreRow(2, 1, "e.dwg", "/srv/old/x/");
    };
    context.prompts = &meanwhile;
    Replace(QStringLiteral("/srv/old/"), QStringLiteral("/mnt/new/"), true);
    EXPECT_THAT(meanwhile.questions,
                ElementsAre(QStringLiteral("1グループの2件のフォルダを置換します。よろしいですか？")));
    EXPECT_THAT(meanwhile.messages, ElementsAre(QStringLiteral("3件のフォルダを置換しました。")));
    EXPECT_EQ(Folder(1, 2), "/mnt/new/");
    EXPECT_EQ(Folder(2, 0), "/srv/old/x/");  // its group held nothing of the folder when counted
}

TEST_F(FolderReplaceTest, answeringNoWritesNothing) {
    StoreRow(1, 1, "a.dwg", "/srv/old/");
    Replace(QStringLiteral("/srv/old/"), QStringLiteral("/mnt/new/"), false);
    EXPECT_EQ(Folder(1, 0), "/srv/old/");
    EXPECT_THAT(prompts.messages, IsEmpty());
}

TEST_F(FolderReplaceTest, quotesAndJapaneseFoldersAreReplacedAsTyped) {
    StoreRow(1, 1, "a.dwg", Cp932("/図面/o'neil/\"x\"/"));
    Replace(QStringLiteral("/図面/o'neil/"), QStringLiteral("/表示/it's/"), true);
    EXPECT_EQ(Folder(1, 0), Cp932("/表示/it's/\"x\"/"));
}

TEST_F(FolderReplaceTest, rowsThatWouldPassTheColumnAreRefusedNotCut) {
    const std::string longFolder = "/o/" + std::string(250, 'x') + "/";
    StoreRow(1, 1, "a.dwg", longFolder);
    StoreRow(1, 2, "b.dwg", "/o/short/");
    Replace(QStringLiteral("/o/"), QStringLiteral("/much/longer/"), true);
    EXPECT_EQ(Folder(1, 0), longFolder);
    EXPECT_EQ(Folder(1, 1), "/much/longer/short/");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith(
        QStringLiteral("1件のフォルダを置換しました。\n1件は置換できませんでした")));
}

TEST_F(FolderReplaceTest, aNewFolderTheCodePageCannotHoldIsRefusedForEveryRow) {
    StoreRow(1, 1, "a.dwg", "/o/");
    StoreRow(2, 1, "b.dwg", "/o/");
    Replace(QStringLiteral("/o/"), QStringLiteral("/新😀/"), true);
    EXPECT_EQ(Folder(1, 0), "/o/");
    EXPECT_EQ(Folder(2, 0), "/o/");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith(
        QStringLiteral("0件のフォルダを置換しました。\n2件は置換できませんでした")));
}
