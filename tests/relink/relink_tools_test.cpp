#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "relink/folder_replace_dialog.h"
#include "relink/missing_files_window.h"
#include "relink/relink_tools.h"
#include "relink_fixture.h"

using ::testing::ElementsAre;

TEST_F(RelinkTest, theToolsMenuOpensBothAndAReplacementReadsTheMissingFilesAgain) {
    AddGroup(1, "G");
    const std::string moved = MakeFile(QStringLiteral("new/a.dwg"));
    StoreRow(1, 1, "a.dwg", Under(QStringLiteral("old/")));
    QWidget main;
    QMenu tools;
    tools.addAction(QStringLiteral("検索(&F)..."));
    const RelinkTools relink = AddRelinkTools(tools, context, db, main);

    QStringList texts;
    for (const QAction* action : tools.actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_THAT(
        texts, ElementsAre(QStringLiteral("検索(&F)..."), QStringLiteral("-"),
                           QStringLiteral("リンク切れファイル(&L)..."),
                           QStringLiteral("フォルダの置換(&P)..."), QStringLiteral("フォルダの対応(&M)...")));

    tools.findChild<QAction*>(QStringLiteral("mnuMissingFiles"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !relink.missingFiles->Busy(); }, 20000));
    QLabel* status = relink.missingFiles->findChild<QLabel*>(QStringLiteral("StatusLine"));
    EXPECT_EQ(status->text(), QStringLiteral("リンク切れファイル: 1件"));

    tools.findChild<QAction*>(QStringLiteral("mnuReplaceFolder"))->trigger();
    relink.folderReplace->findChild<QLineEdit*>(QStringLiteral("Edit1"))
        ->setText(files.filePath(QStringLiteral("old")));
    relink.folderReplace->findChild<QLineEdit*>(QStringLiteral("Edit2"))
        ->setText(files.filePath(QStringLiteral("new")));
    prompts.AnswerNextQuestion(true);
    QTest::mouseClick(relink.folderReplace->findChild<QPushButton*>(QStringLiteral("OkButton")),
                      Qt::LeftButton);

    EXPECT_EQ(StoredRows(1)[0][kFilePath], moved);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !relink.missingFiles->Busy(); }, 20000));
    EXPECT_EQ(status->text(), QStringLiteral("リンク切れファイル: 0件"));
}
