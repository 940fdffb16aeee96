#include "file_list_fixture.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <array>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "filelist/image_list.h"
#include "platform/codec.h"
#include "storage/schema.h"
#include "support/file_rows.h"

FileListTest::FileListTest() {
    db.CreateDatabase();
    EXPECT_TRUE(db.Attached());
    EXPECT_TRUE(CreateFileTable(db, FileTableName(1)));
    EXPECT_TRUE(CreateFileTable(db, FileTableName(2)));
    folder = ToCp932(QDir::toNativeSeparators(files.path()) + QDir::separator()).value();
    context.prompts = &prompts;
    context.shell = &shell;
    form = std::make_unique<TForm3>(context, db);
}

FileListTest::~FileListTest() {
    form.reset();
    db.DisconnectDatabase();
}

std::string FileListTest::MakeFile(const QString& name, qint64 size) {
    QFile file(files.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_TRUE(file.resize(size));
    return ToCp932(QDir::toNativeSeparators(file.fileName())).value();
}

void FileListTest::StoreRow(int group, int number, const std::string& fileName,
                            const std::string& folderText) {
    InsertFileRow(db, group, number, fileName, folderText);
}

std::vector<FileRecord> FileListTest::StoredRows(int group) {
    return ReadFileRows(db, group);
}

void FileListTest::OpenGroup(int group, const std::string& name) {
    form->close();
    form->GroupNo = group;
    form->GroupName = name;
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_TRUE(FactsCame());
}

bool FileListTest::FactsCame() {
    return QTest::qWaitFor(
        [&] {
            const std::vector<std::string> times = Column(kColumnTime);
            return std::count(times.begin(), times.end(), Cp932("確認中")) == 0;
        },
        10000);
}

FileListView* FileListTest::List() const {
    return form->findChild<FileListView*>(QStringLiteral("ListView1"));
}

ImageList* FileListTest::Images() const {
    return form->findChild<ImageList*>(QStringLiteral("ImageList1"));
}

QPushButton* FileListTest::Button(const char* name) const {
    return form->findChild<QPushButton*>(QString::fromLatin1(name));
}

std::vector<std::string> FileListTest::Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < List()->RowCount(); ++row) {
        const FileRowTexts cells = List()->Row(row);
        texts.push_back(*ColumnTexts(cells)[column]);
    }
    return texts;
}

void FileListTest::ClickHeader(int column) {
    QHeaderView* header = List()->DetailsView()->header();
    const QPoint inside(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, inside);
}

void FileListTest::SelectRows(const std::vector<int>& rows) {
    QTreeView* view = List()->DetailsView();
    for (int row : rows) {
        const QPoint center = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, center);
    }
}
