#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>
#include <array>

#include "file_list_drop_fixture.h"
#include "platform/codec.h"
#include "storage/schema.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(FileListDropTest, droppedFilesAreRegisteredInTheOrderDroppedAndFoldersNamedOnce) {
    const std::string b = MakeFile(QStringLiteral("b.dwg"), 20);
    const std::string a = MakeFile(QStringLiteral("a.dwg"), 10);
    ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral("sub")));
    const QString sub = files.filePath(QStringLiteral("sub"));

    EXPECT_TRUE(
        Drop({Url(b), QUrl::fromLocalFile(sub), QUrl(QStringLiteral("https://example.com/x.dwg")), Url(a)}));

    EXPECT_THAT(Column(kColumnFileName), ElementsAre("b.dwg", "a.dwg"));
    const std::vector<FileRecord> stored = StoredRows(1);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], (FileRecord{"1", "b.dwg", folder}));
    EXPECT_EQ(stored[1], (FileRecord{"2", "a.dwg", folder}));
    EXPECT_THAT(prompts.messages,
                ElementsAre(QStringLiteral("フォルダは登録できないため除きました。\n") + sub));
}

TEST_F(FileListDropTest, aDropRefusedByTheDatabaseIsToldAsTheAddCommandTellsIt) {
    StoreRow(1, 1, "kept.dwg", folder);
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    ASSERT_TRUE(db.DropTable(FileTableName(1)));
    EXPECT_TRUE(Drop({Url(a)}));
    EXPECT_EQ(List()->RowCount(), 0);
    EXPECT_THAT(prompts.messages, ElementsAre(QStringLiteral("登録失敗")));
}

TEST_F(FileListDropTest, aDragWithoutLocalFilesIsNotTaken) {
    EXPECT_FALSE(Drop({QUrl(QStringLiteral("https://example.com/a.dwg"))}));
    EXPECT_THAT(StoredRows(1), IsEmpty());
}

TEST_F(FileListDropTest, selectedRowsLeaveAsFileUrlsToCopyWithoutTheMissingOnes) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string c = MakeFile(QStringLiteral("c.dwg"));
    StoreRow(1, 1, "a.dwg", folder);
    StoreRow(1, 2, "gone.dwg", folder);
    StoreRow(1, 3, "c.dwg", folder);
    StoreRow(1, 4, "b.dwg", folder);
    OpenGroup(1);
    SelectRows({0, 1, 2});

    QTreeView* view = List()->DetailsView();
    EXPECT_EQ(view->model()->supportedDragActions(), Qt::CopyAction);
    const std::unique_ptr<QMimeData> data(view->model()->mimeData(view->selectionModel()->selectedIndexes()));
    ASSERT_NE(data, nullptr);
    EXPECT_THAT(data->urls(), ElementsAre(Url(a), Url(c)));

    // Only missing files selected: nothing to drag.
    view->clearSelection();
    SelectRows({1});
    EXPECT_EQ(view->model()->mimeData(view->selectionModel()->selectedIndexes()), nullptr);

    // The icon view's fixed arrangement must not keep its rows from being dragged.
    form->SetViewStyleIndex(0);
    OpenGroup(1);
    EXPECT_TRUE(List()->IconsAndListView()->dragEnabled());
}
