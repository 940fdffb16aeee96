#include "dialog_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "storage/schema.h"

DialogTest::DialogTest() {
    context.settings = location.settings();
    context.appDir = appFolder.path() + "/";
    context.prompts = &prompts;
    QDir(appFolder.path()).mkdir("img");
}

void DialogTest::CreateGroupDatabase() {
    database.CreateDatabase();
    ASSERT_TRUE(database.Attached());
    ASSERT_TRUE(CreateGroupTable(database));
}

void DialogTest::InsertGroupRow(const GroupRecord& literals) {
    ASSERT_TRUE(database.InsertRow(kGroupTable, GroupColumnNames(), literals));
}

GroupRecord DialogTest::ReadGroup(int number) {
    GroupRecord record;
    database.OpenSelect("*", kGroupTable, "N=" + std::to_string(number), "");
    database.ReadFirstRow(record);
    database.CloseResult();
    return record;
}

int DialogTest::CountGroups(const std::string& where) {
    return database.CountRows(kGroupTable, where);
}

QString DialogTest::MakeImgFile(const QString& name) {
    const QString path = context.appDir + "img/" + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    return path;
}

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

QLineEdit* EditOf(QWidget& window, const char* name) {
    auto* edit = window.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << name;
    return edit;
}

QPushButton* ButtonOf(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

void Click(QWidget& window, const char* button) {
    QTest::mouseClick(ButtonOf(window, button), Qt::LeftButton);
}
