#include "file_list_drop_fixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeView>
#include <array>

#include "common/sql_literal.h"
#include "platform/codec.h"
#include "storage/schema.h"

void FileListDropTest::SetUp() {
    ASSERT_TRUE(CreateGroupTable(db));
    StoreGroup(1);
    form->SetViewStyleIndex(2);
    OpenGroup(1);
}

QUrl FileListDropTest::Url(const std::string& path) const {
    return QUrl::fromLocalFile(FromCp932(path));
}

bool FileListDropTest::Drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QWidget* target = List()->DetailsView()->viewport();
    const QPointF at(10, 10);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at.toPoint(), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDragMoveEvent move(at.toPoint(), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

void FileListDropTest::StoreGroup(int number) {
    std::array<std::string, 11> values;
    values.fill("NULL");
    values[kGroupN] = SqlNumber(number);
    ASSERT_TRUE(db.InsertRow(kGroupTable, GroupColumnNames(), values));
}
