#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <array>
#include <chrono>
#include <thread>

#include "board_mouse.h"
#include "common/sql_literal.h"
#include "drawing_files.h"
#include "filelist/file_list_view.h"
#include "platform/codec.h"
#include "program_fixture.h"
#include "send/drawing_sender.h"
#include "send/send_dialog.h"
#include "send/send_history_window.h"
#include "send/send_progress_window.h"
#include "send_files.h"
#include "storage/schema.h"
#include "storage/send_history.h"

namespace {

constexpr std::int64_t kDrawn = 1796688000;  // 2026-12-08 00:00 UTC

// A program run whose group 1, "共有図面", registers two files of one full-length name in two folders
// and a third that is not there.
class SendCommands : public BoardTest {
protected:
    SendCommands() {
        InsertGroup(1, *ToCp932(QStringLiteral("共有図面")), "", 10, 10);
        const std::string table = FileTableName(1);
        EXPECT_TRUE(other.ExecuteScript({"CREATE TABLE " + table +
                                         " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), "
                                         "PATH_NAME VARCHAR(255))"}));
        const QString drawings = appFolder.filePath(QStringLiteral("図面/"));
        const std::array<QString, 3> folders{drawings + QStringLiteral("A棟/"),
                                             drawings + QStringLiteral("B棟/"),
                                             drawings + QStringLiteral("ソ/")};
        const std::array<QString, 3> names{longName, longName, QStringLiteral("ない.dwg")};
        WriteDated(folders[0] + longName, QByteArray(200000, 'a'), kDrawn);
        WriteDated(folders[1] + longName, "b", kDrawn + 2);
        for (int i = 0; i < 3; ++i) {
            const std::array<std::string, 3> row{SqlNumber(i + 1), SqlText(*ToCp932(names[i])),
                                                 SqlText(*ToCp932(folders[i]))};
            EXPECT_TRUE(other.InsertRow(table, FileColumnNames(), row));
        }
    }

    DrawingSender& sender() { return *windows->send.sender; }

    // The board made the active window, as the window manager does when the user clicks on it; Alt and
    // the menu's letter, then the command's letter in the menu.
    void ChooseFromFileMenu(Qt::Key command) {
        QApplication::setActiveWindow(&board());
        QTest::keyClick(&board(), Qt::Key_F, Qt::AltModifier);
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu, command);
    }

    // The package's target typed into the dialog, its kind and layout clicked, and "送付(&S)".
    void Send(QRadioButton* kind, QRadioButton* layout) {
        SendDialog& dialog = *sender().dialog;
        ASSERT_TRUE(dialog.isVisible());
        Retype(dialog.Edit1, target());
        QTest::mouseClick(kind, Qt::LeftButton);
        QTest::mouseClick(layout, Qt::LeftButton);
        QTest::mouseClick(dialog.OkButton, Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(sender().progress->isVisible());
    }

    // Turns the event loop until the sending has said how it went.
    QString Outcome() {
        const int said = static_cast<int>(prompts.messages.size());
        EXPECT_TRUE(QTest::qWaitFor([&] { return prompts.messages.size() > said; }, 60000));
        EXPECT_FALSE(sender().progress->isVisible());
        return prompts.messages.value(said);
    }

    QString target() const { return appFolder.filePath(QStringLiteral("送付")); }
    QString packageName() const {
        return QStringLiteral("共有図面_") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    }

    const QString longName = LongJapaneseName(QStringLiteral("dwg"));
};

}  // namespace

TEST_F(SendCommands, theMenusSendAGroupOrTheSelectedRowsAndEveryDesktopSeesTheRecord) {
    QDir().mkpath(target());
    Start();
    BoardMouse mouse(board());
    mouse.Select(1);
    ASSERT_EQ(board().SelectedGroup, 1);

    // "中止" once the files were looked at, before the window heard of it: nothing is asked or made.
    ChooseFromFileMenu(Qt::Key_T);
    Send(sender().dialog->RadioButton2, sender().dialog->RadioButton3);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // three files: looked at long before
    QTest::mouseClick(sender().progress->Button1, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sender().Busy() && !sender().progress->isVisible(); }));
    EXPECT_EQ(prompts.questions, QStringList());
    EXPECT_EQ(FolderNames(target()), QStringList());

    // The group, as a ZIP file, all in one folder; the missing file is asked about.
    ChooseFromFileMenu(Qt::Key_T);
    EXPECT_EQ(sender().dialog->Edit2->text(), packageName());
    EXPECT_EQ(sender().dialog->Label1->text(), QStringLiteral("送付するファイル: 3 件"));
    prompts.AnswerNextQuestion(true);
    Send(sender().dialog->RadioButton2, sender().dialog->RadioButton3);
    EXPECT_EQ(Outcome(), QStringLiteral("送付用パッケージを作成しました。\n") + target() + "/" +
                             packageName() +
                             QStringLiteral(".zip\n見つからないファイル 1 件は図面リストに"
                                            "「<No File>」と記載しました。"));
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].startsWith(QStringLiteral("3 件中 1 件のファイルが見つかりません。")));
    EXPECT_EQ(sender().progress->Label2->text(), QStringLiteral("ファイル: 2 / 2"));
    const QString zip = target() + "/" + packageName() + QStringLiteral(".zip");
    const QStringList zipped =
        QString::fromUtf8(ToolOutput(QStringLiteral("unzip"), {QStringLiteral("-Z1"), zip}))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(zipped.size(), 4);
    EXPECT_EQ(zipped[0], longName);
    EXPECT_TRUE(zipped[1].endsWith(QStringLiteral(" (2).dwg")));
    EXPECT_EQ(zipped.mid(2),
              (QStringList{QStringLiteral("図面リスト.csv"), QStringLiteral("図面リスト.pdf")}));

    // Two rows of the file list, from its context menu, as a folder keeping their folders.
    ChooseFromFileMenu(Qt::Key_O);
    ASSERT_TRUE(windows->form3.isVisible());
    FileListView& list = *windows->form3.findChild<FileListView*>(QStringLiteral("ListView1"));
    list.SetStyle(FileListView::Style::Details);
    QTreeView* rows = list.DetailsView();
    ASSERT_EQ(rows->model()->rowCount(), 3);
    std::vector<int> present;
    for (int row = 0; row < 3; ++row) {
        if (list.Row(row).fileName != *ToCp932(QStringLiteral("ない.dwg"))) {
            present.push_back(row);
        }
    }
    for (const int row : present) {
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          rows->visualRect(rows->model()->index(row, 0)).center());
    }
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        if (menu->findChild<QAction*>(QStringLiteral("mnuSendFiles")) == nullptr) {
            ADD_FAILURE() << "no command to send the rows";
            menu->close();
        }
        QTest::keyClick(menu, Qt::Key_T);
    });
    const QPoint at = rows->visualRect(rows->model()->index(present[0], 0)).center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, rows->viewport()->mapToGlobal(at));
    QApplication::sendEvent(rows->viewport(), &rightClick);
    EXPECT_EQ(sender().dialog->Label1->text(), QStringLiteral("送付するファイル: 2 件"));
    Send(sender().dialog->RadioButton1, sender().dialog->RadioButton4);
    EXPECT_EQ(Outcome(),
              QStringLiteral("送付用パッケージを作成しました。\n") + target() + "/" + packageName());
    EXPECT_EQ(prompts.questions.size(), 1);
    const QString folder = target() + "/" + packageName();
    EXPECT_EQ(ReadAll(folder + QStringLiteral("/A棟/") + longName), QByteArray(200000, 'a'));
    EXPECT_EQ(ModifiedTime(folder + QStringLiteral("/B棟/") + longName), kDrawn + 2);
    EXPECT_EQ(FolderNames(folder),
              (QStringList{QStringLiteral("A棟"), QStringLiteral("B棟"), QStringLiteral("図面リスト.csv"),
                           QStringLiteral("図面リスト.pdf")}));

    // The record, as another desktop reads it and as the history window lists it.
    bool read = false;
    const std::vector<SendRecord> records = ReadSendHistory(other, 1, read);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(FromCp932(records[1].packageName), packageName() + QStringLiteral(".zip"));
    EXPECT_EQ(records[1].files, 2);
    EXPECT_EQ(records[1].missing, 1);
    EXPECT_EQ(records[1].bytes, 200001);
    EXPECT_EQ(FromCp932(records[0].packageName), packageName());
    EXPECT_EQ(records[0].missing, 0);
    ChooseFromFileMenu(Qt::Key_H);
    SendHistoryWindow& history = *sender().history;
    ASSERT_TRUE(history.isVisible());
    EXPECT_EQ(history.ComboBox1->currentText(), QStringLiteral("グループ「共有図面」"));
    ASSERT_EQ(history.ListView1->topLevelItemCount(), 2);
    QTreeWidgetItem* zipRow = history.ListView1->topLevelItem(1);
    EXPECT_EQ(zipRow->text(1), QStringLiteral("共有図面"));
    EXPECT_EQ(zipRow->text(2), packageName() + QStringLiteral(".zip"));
    EXPECT_EQ(zipRow->text(3), QStringLiteral("2"));
    EXPECT_EQ(zipRow->text(4), QStringLiteral("1"));
}
