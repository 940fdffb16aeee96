#include "window_steps.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTreeView>

#include "board/board_window.h"
#include "board_mouse.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "program_fixture.h"

namespace {

FileListView& ListOf(TForm3& fileList) {
    return *fileList.findChild<FileListView*>(QStringLiteral("ListView1"));
}

}  // namespace

void CreateGroup(TForm1& board, const QString& name, const std::function<void()>& meanwhile) {
    RunWithDialog([&] { board.mnuMakeGroupClick(); },
                  [&](QWidget& dialog) {
                      if (meanwhile) {
                          meanwhile();
                      }
                      QTest::keyClicks(EditIn(dialog, "Edit2"), name);
                      ClickIn(dialog, "Button1");
                  });
}

void OpenFileList(TForm1& board, int groupNo) {
    BoardMouse(board).Select(groupNo);
    board.mnuOpenGroupClick();
}

std::vector<FileRowTexts> ListedRows(TForm3& fileList) {
    // The rows' facts come from the file looks after the rows themselves.
    FileListView& list = ListOf(fileList);
    const bool looked = QTest::qWaitFor([&] {
        for (int row = 0; row < list.RowCount(); ++row) {
            if (list.FactsOf(row) == FileListView::Facts::Looking) {
                return false;
            }
        }
        return true;
    });
    EXPECT_TRUE(looked) << "the rows' facts never came";
    std::vector<FileRowTexts> rows;
    for (int row = 0; row < ListOf(fileList).RowCount(); ++row) {
        rows.push_back(ListOf(fileList).Row(row));
    }
    return rows;
}

void SelectAllRows(TForm3& fileList) {
    FileListView& list = ListOf(fileList);
    QAbstractItemView* view = list.CurrentStyle() == FileListView::Style::Details
                                  ? static_cast<QAbstractItemView*>(list.DetailsView())
                                  : static_cast<QAbstractItemView*>(list.IconsAndListView());
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
}

void AddFiles(TForm3& fileList, ScriptedPrompts& prompts, const QStringList& paths) {
    prompts.ChooseNextFiles(paths);
    ClickIn(fileList, "Button1");
}

void RemoveAllRows(TForm3& fileList, ScriptedPrompts& prompts) {
    SelectAllRows(fileList);
    prompts.AnswerNextQuestion(true);
    ClickIn(fileList, "Button5");
}
