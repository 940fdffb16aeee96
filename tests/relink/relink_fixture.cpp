#include "relink_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>

#include "common/sql_literal.h"
#include "platform/codec.h"
#include "storage/schema.h"
#include "support/file_rows.h"

RelinkTest::RelinkTest() {
    db.CreateDatabase();
    EXPECT_TRUE(db.Attached());
    EXPECT_TRUE(CreateGroupTable(db));
    context.prompts = &prompts;
}

RelinkTest::~RelinkTest() {
    db.DisconnectDatabase();
}

void RelinkTest::AddGroup(int number, const std::string& name, bool withTable) {
    std::array<std::string, 11> values;
    values.fill("NULL");
    values[kGroupN] = SqlNumber(number);
    values[kGroupName] = SqlText(name);
    ASSERT_TRUE(db.InsertRow(kGroupTable, GroupColumnNames(), values));
    if (withTable) {
        ASSERT_TRUE(CreateFileTable(db, FileTableName(number)));
    }
}

void RelinkTest::StoreRow(int group, int number, const std::string& fileName, const std::string& folder) {
    InsertFileRow(db, group, number, fileName, folder);
}

std::vector<FileRecord> RelinkTest::StoredRows(int group) {
    return ReadFileRows(db, group);
}

std::string RelinkTest::MakeFile(const QString& relativePath) {
    const QString path = files.filePath(relativePath);
    EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return ToCp932(QFileInfo(path).path() + QLatin1Char('/')).value();
}

std::string RelinkTest::Under(const QString& relative) const {
    return ToCp932(files.filePath(relative)).value();
}
