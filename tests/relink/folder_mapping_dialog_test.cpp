#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "platform/codec.h"
#include "platform/folder_mapping_preferences.h"
#include "relink/folder_mapping_dialog.h"
#include "relink/folder_mapping_editor.h"
#include "relink/relink_tools.h"
#include "relink_fixture.h"
#include "support/sleeping_share.h"

using ::testing::ElementsAre;

namespace {

// \\FS01\図面\ and \\FS01\図面\表\ as stored; 表 ends in the byte of a backslash.
const std::string kShare = "\\\\FS01\\\x90\x7d\x96\xca\\";
const std::string kShareHyo = kShare + "\x95\x5c\\";

class FolderMappingDialogTest : public RelinkTest {
protected:
    FolderMappingDialogTest() : dialog(context, nullptr) {
        context.settingsFileName = appFolder.filePath(QStringLiteral("qarto-groups.dat"));
        mounted = Under(QStringLiteral("図面")) + "/";
        QDir().mkpath(files.filePath(QStringLiteral("図面")));
    }

    QTreeWidget* List() { return dialog.findChild<QTreeWidget*>(QStringLiteral("MappingList")); }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < List()->topLevelItemCount(); ++row) {
            texts << List()->topLevelItem(row)->text(column);
        }
        return texts;
    }
    void Click(QWidget& parent, const char* name) {
        parent.findChild<QPushButton*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly)->click();
    }
    FolderMappingEditor& Editor() { return *dialog.findChild<FolderMappingEditor*>(); }
    // Types both folders into the editor and presses its OK; waits until the editor closes or says
    // something.
    void Enter(const QString& stored, const QString& local) {
        Editor().findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(stored);
        Editor().findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(local);
        const qsizetype said = Said();
        Click(Editor(), "OkButton");
        EditorDone(said);
    }
    qsizetype Said() const { return prompts.messages.size() + prompts.questions.size(); }
    void EditorDone(qsizetype said = 0) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Editor().isVisible() || Said() > said; }));
    }
    // Waits until every local folder's state is known.
    void StatesCame() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Column(2).contains(QStringLiteral("確認中")); }));
    }

    QTemporaryDir appFolder;
    std::string mounted;  // <temporary folder>/図面/, which exists
    FolderMappingDialog dialog;
};

}  // namespace

TEST_F(FolderMappingDialogTest, listsTheMappingsAndSaysWhereALocalFolderDoesNotExist) {
    context.folderMappings = {MappingOf(kShare, mounted), MappingOf("Z:\\", "/nonexistent/z/")};
    dialog.Open();
    StatesCame();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("フォルダの対応"));
    EXPECT_THAT(Column(0), ElementsAre(QStringLiteral("\\\\FS01\\図面\\"), QStringLiteral("Z:\\")));
    EXPECT_THAT(Column(1),
                ElementsAre(files.filePath(QStringLiteral("図面/")), QStringLiteral("/nonexistent/z/")));
    EXPECT_THAT(Column(2), ElementsAre(QString(), QStringLiteral("フォルダがありません")));
}

TEST_F(FolderMappingDialogTest, anAddedMappingIsCompletedAndKeptOnlyOnOk) {
    QSignalSpy changed(&dialog, &FolderMappingDialog::MappingsChanged);
    dialog.Open();
    Click(dialog, "AddButton");
    ASSERT_TRUE(Editor().isVisible());
    // Typed without final separators; 表's second byte is none.
    Enter(QStringLiteral("\\\\FS01\\図面\\表"), files.filePath(QStringLiteral("図面")));
    EXPECT_FALSE(Editor().isVisible());
    EXPECT_THAT(Column(0), ElementsAre(QStringLiteral("\\\\FS01\\図面\\表\\")));
    EXPECT_TRUE(context.folderMappings.empty());

    Click(dialog, "OkButton");
    const FolderMappings expected{{kShareHyo, mounted}};
    EXPECT_EQ(context.folderMappings, expected);
    EXPECT_EQ(ReadFolderMappings(context), expected);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(FolderMappingDialogTest, eachOfTheEditorsLabelsTakesItsFieldsAltKey) {
    dialog.Open();
    Click(dialog, "AddButton");
    QStringList fieldsOfLabels;
    for (const QLabel* label : Editor().findChildren<QLabel*>()) {
        if (label->text().contains(QLatin1Char('&'))) {
            fieldsOfLabels << (label->buddy() != nullptr ? label->buddy()->objectName()
                                                         : QStringLiteral("none"));
        }
    }
    fieldsOfLabels.sort();
    EXPECT_EQ(fieldsOfLabels, QStringList({QStringLiteral("Edit1"), QStringLiteral("Edit2")}));
}

TEST_F(FolderMappingDialogTest, editsAndRemovalsAreDroppedByCancel) {
    const FolderMappings kept{MappingOf(kShare, mounted), MappingOf("Z:\\", "/mnt/z/")};
    context.folderMappings = kept;
    QSignalSpy changed(&dialog, &FolderMappingDialog::MappingsChanged);
    dialog.Open();
    Click(dialog, "EditButton");       // the first is current
    prompts.AnswerNextQuestion(true);  // /mnt/other does not exist here
    Enter(QStringLiteral("\\\\FS01\\図面\\"), QStringLiteral("/mnt/other"));
    ASSERT_FALSE(Editor().isVisible());
    EXPECT_THAT(Column(1), ElementsAre(QStringLiteral("/mnt/other/"), QStringLiteral("/mnt/z/")));
    List()->setCurrentItem(List()->topLevelItem(1));
    Click(dialog, "RemoveButton");
    EXPECT_EQ(List()->topLevelItemCount(), 1);

    Click(dialog, "CancelButton");
    EXPECT_EQ(context.folderMappings, kept);
    EXPECT_TRUE(ReadFolderMappings(context).empty());
    EXPECT_EQ(changed.count(), 0);
    dialog.Open();
    EXPECT_EQ(List()->topLevelItemCount(), 2);
}

TEST_F(FolderMappingDialogTest, theEditorRefusesWhatCouldNeverMapAFile) {
    context.folderMappings = {MappingOf(kShare, mounted)};
    dialog.Open();
    Click(dialog, "AddButton");
    const QString here = files.filePath(QStringLiteral("図面"));
    Enter(QStringLiteral("Z:\\"), QString());
    Enter(QStringLiteral("Z:\\"), here + QStringLiteral("/\U0001F600"));
    // The same share, however a desktop spells it.
    Enter(QStringLiteral("//fs01/図面"), here);
    EXPECT_THAT(
        prompts.messages,
        ElementsAre(QStringLiteral("データベースのフォルダとこのコンピューターのフォルダを入力して下さい。"),
                    QStringLiteral("フォルダ名に使用できない文字が含まれているため登録できません。"),
                    QStringLiteral("「\\\\FS01\\図面\\」の対応は既にあります。")));
    // A folder this machine does not have is kept only when the user says so.
    prompts.AnswerNextQuestion(false);
    Enter(QStringLiteral("Z:\\"), QStringLiteral("/nonexistent/z"));
    EXPECT_THAT(prompts.questions,
                ElementsAre(QStringLiteral("このコンピューターにフォルダ「/nonexistent/z/」はありません。"
                                           "このまま登録しますか？")));
    EXPECT_TRUE(Editor().isVisible());
    EXPECT_EQ(List()->topLevelItemCount(), 1);
}

TEST_F(FolderMappingDialogTest, theToolsMenuOpensTheDialog) {
    QWidget mainWindow;
    QMenu tools;
    const RelinkTools relink = AddRelinkTools(tools, context, db, mainWindow);
    QAction* item = tools.findChild<QAction*>(QStringLiteral("mnuFolderMappings"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("フォルダの対応(&M)..."));
    item->trigger();
    EXPECT_TRUE(relink.folderMappings->isVisible());
}

TEST_F(FolderMappingDialogTest, afterAMappingIsAddedOrEditedEnterPressesOk) {
    dialog.Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const auto enter = [&] {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << "the focus is nowhere";

        QTest::keyClick(focused, Qt::Key_Return);
    };
    for (const bool adding : {true, false}) {
        // By the keyboard alone: the command's key, the folders typed, Enter in the editor.
        QTest::keyClick(QApplication::focusWidget(), adding ? Qt::Key_A : Qt::Key_E, Qt::AltModifier);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return Editor().isVisible(); }, 5000));  // the button's click is shown
        QLineEdit* stored = Editor().findChild<QLineEdit*>(QStringLiteral("Edit1"));
        stored->clear();
        QTest::keyClicks(stored, adding ? QStringLiteral("Z:\\") : QStringLiteral("Y:\\"));
        QLineEdit* local = Editor().findChild<QLineEdit*>(QStringLiteral("Edit2"));
        local->setText(files.filePath(QStringLiteral("図面")));
        QTest::keyClick(local, Qt::Key_Return);
        EditorDone();
        ASSERT_FALSE(Editor().isVisible());
        ASSERT_TRUE(dialog.isVisible());
        if (adding) {
            continue;
        }
        enter();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(context.folderMappings, (FolderMappings{{"Y:\\", mounted}}));
    }
}

TEST_F(FolderMappingDialogTest, aLocalFolderThatDoesNotAnswerHoldsUpNeitherTheListNorTheEditor) {
    const std::string asleep = Under(QStringLiteral("眠る表")) + "/";
    SleepingShare share{asleep, std::chrono::milliseconds(200)};
    context.fileLooks = &share.Looks();
    FolderMappingDialog sleepy(context, nullptr);
    context.folderMappings = {MappingOf(kShare, asleep), MappingOf("Z:\\", mounted)};
    sleepy.Open();
    QTreeWidget* list = sleepy.findChild<QTreeWidget*>(QStringLiteral("MappingList"));
    EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("確認中"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return list->topLevelItem(0)->text(2) == QStringLiteral("応答なし"); }));
    EXPECT_EQ(list->topLevelItem(1)->text(2), QString());

    FolderMappingEditor& editor = *sleepy.findChild<FolderMappingEditor*>();
    Click(sleepy, "AddButton");
    editor.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("Y:\\"));
    editor.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(FromCp932(asleep));
    prompts.AnswerNextQuestion(true);
    Click(editor, "OkButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor.isVisible(); }));
    EXPECT_THAT(
        prompts.questions,
        ElementsAre(
            QStringLiteral("フォルダ「%1」が応答しません。このまま登録しますか？").arg(FromCp932(asleep))));
    EXPECT_EQ(list->topLevelItemCount(), 3);
}
