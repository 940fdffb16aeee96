#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "filelist/file_list_view.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "support/file_rows.h"

namespace {

// Two groups, A at the upper-left corner and B further right; neither has a file table yet.
class BoardFileDropTest : public BoardTest {
protected:
    void SetUp() override {
        InsertGroup(1, "A", "", 0, 0);
        InsertGroup(2, "B", "", 80, 20);
        Start();
    }
    QString MakeFile(const QString& name) {
        QFile file(appFolder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }
    // Drags local files from outside the program to `at` on `target` and lets go there; answers
    // whether the drop was taken.
    bool Drop(QWidget* target, QPoint at, const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls << QUrl::fromLocalFile(path);
        }
        data.setUrls(urls);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        if (!move.isAccepted()) {
            return false;
        }
        QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }
};

}  // namespace

TEST_F(BoardFileDropTest, filesDroppedOnAnIconAreRegisteredInItsGroupWhoseTableIsMadeFirst) {
    const QString a = MakeFile(QStringLiteral("a.dwg"));
    const QString b = MakeFile(QStringLiteral("b.dwg"));
    // The file list shows group 1 meanwhile: the rows of group 2 must not appear in it.
    ASSERT_TRUE(CreateFileTable(other, FileTableName(1)));
    windows->form3.GroupNo = 1;
    windows->form3.show();

    EXPECT_TRUE(Drop(IconOf(board(), 2), QPoint(5, 5), {b, a}));

    const std::vector<FileRecord> stored = ReadFileRows(other, 2);
    ASSERT_EQ(stored.size(), 2u);
    const std::string folder = appFolder.path().toStdString() + "/";
    EXPECT_EQ(stored[0], (FileRecord{"1", "b.dwg", folder}));
    EXPECT_EQ(stored[1], (FileRecord{"2", "a.dwg", folder}));
    EXPECT_EQ(windows->form3.findChild<FileListView*>(QStringLiteral("ListView1"))->RowCount(), 0);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(BoardFileDropTest, theBoardAroundTheIconsTakesNoDrop) {
    const QString a = MakeFile(QStringLiteral("a.dwg"));
    EXPECT_FALSE(Drop(board().Board, QPoint(300, 200), {a}));
    EXPECT_FALSE(other.TableExists(FileTableName(1)));
    EXPECT_FALSE(other.TableExists(FileTableName(2)));
    EXPECT_EQ(IconOf(board(), 1)->pos(), QPoint(0, 0));
}

TEST_F(BoardFileDropTest, aDropOnTheIconOfAGroupDeletedElsewhereMakesNoTableAndSaysSo) {
    const QString a = MakeFile(QStringLiteral("a.dwg"));
    ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=2"));  // another desktop deleted group 2
    Drop(IconOf(board(), 2), QPoint(5, 5), {a});
    EXPECT_FALSE(other.TableExists(FileTableName(2)));
    EXPECT_EQ(prompts.messages.size(), 1);
}
