#include "program_fixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/starter_problem_message.h"
#include "common/sql_literal.h"
#include "picture_files.h"
#include "starter/starter_problem.h"
#include "storage/schema.h"

void ObservedPrompts::Message(QWidget* parent, const QString& text) {
    ScriptedPrompts::Message(parent, text);
    if (onMessage) {
        onMessage(text);
    }
}

bool ObservedPrompts::Question(QWidget* parent, const QString& text) {
    if (onQuestion) {
        onQuestion(text);
    }
    return ScriptedPrompts::Question(parent, text);
}

ProgramTest::ProgramTest() {
    context.executablePath = appFolder.filePath(QStringLiteral("qarto-groups"));
    context.prompts = &prompts;
    context.shell = shell.get();
    QDir(appFolder.path()).mkdir(QStringLiteral("img"));
    WriteFile(PicturePath(QStringLiteral("icon1.ico")), IconBytes(QSize(32, 32), Qt::red));
}

ProgramTest::~ProgramTest() = default;

QString ProgramTest::PicturePath(const QString& name) const {
    return appFolder.filePath(QStringLiteral("img/") + name);
}

QString ProgramTest::SettingsPath() const {
    return appFolder.filePath(QStringLiteral("qarto-groups.dat"));
}

void ProgramTest::WriteSettings(const ConnectionSettings& connection) {
    WriteSettings(DesignedSettings(connection), SettingsPath());
}

void ProgramTest::WriteSettings(const SavedSettings& saved, const QString& path) {
    ASSERT_TRUE(SaveSettings(QFile::encodeName(path).toStdString(), saved));
}

void ProgramTest::Start() {
    windows = std::make_unique<AppWindows>(context);
    windows->form1.show();
    ShowStarterProblem(windows->form1, prompts, TakeStarterProblem());
}

BoardTest::BoardTest() {
    other.CreateDatabase();
    EXPECT_TRUE(other.Attached());
    EXPECT_TRUE(CreateGroupTable(other));
    WriteSettings(location.settings());
}

void BoardTest::RecordStatements() {
    board().database().SetStatementTrace([this](const std::string& text) { sent.push_back(text); });
}

void InsertGroupRow(Database& database, int number, const std::string& name, const std::string& picture,
                    std::optional<int> x, std::optional<int> y) {
    auto position = [](std::optional<int> value) { return value ? SqlNumber(*value) : SqlText(""); };
    const std::array<std::string, 11> values{SqlNumber(number), SqlText(name), SqlText(""), SqlText(""),
                                             SqlText(""),       SqlText(""),   SqlText(""), SqlText(""),
                                             SqlText(picture),  position(x),   position(y)};
    ASSERT_TRUE(database.InsertRow(kGroupTable, GroupColumnNames(), values));
}

void CreateDatabaseWithGroup(const TestDatabaseLocation& location, int number, const std::string& name, int x,
                             int y) {
    Database database(location.settings());
    database.CreateDatabase();
    ASSERT_TRUE(CreateGroupTable(database));
    InsertGroupRow(database, number, name, "", x, y);
}

SavedSettings SettingsPlacingEveryWindow() {
    SavedSettings saved = DesignedSettings(ConnectionSettings::Defaults());
    saved.mainWindow = WindowRect{50, 60, 700, 420};
    saved.databaseDialog = WindowPlace{11, 12};
    saved.fileList = WindowRect{13, 14, 500, 300};
    saved.createDialog = WindowPlace{15, 16};
    saved.editDialog = WindowPlace{17, 18};
    saved.columnWidths = {101, 102, 103, 104, 105};
    saved.viewStyle = 2;
    return saved;
}

void ExpectPlacedAsSaved(AppWindows& windows) {
    EXPECT_EQ(windows.form2.pos(), QPoint(11, 12));
    EXPECT_EQ(windows.form3.pos(), QPoint(13, 14));
    EXPECT_EQ(windows.form3.size(), QSize(500, 300));
    EXPECT_EQ(windows.form4.pos(), QPoint(15, 16));
    EXPECT_EQ(windows.form5.pos(), QPoint(17, 18));
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(windows.form3.ColumnWidth(column), 101 + column);
    }
    EXPECT_EQ(windows.form3.ViewStyleIndex(), 2);
}

QWidget* RunWithDialog(const std::function<void()>& command,
                       const std::function<void(QWidget& dialog)>& drive) {
    QWidget* shown = nullptr;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
            return;
        }
        timer.stop();
        shown = dialog;
        drive(*dialog);
        if (dialog->isVisible()) {
            QMetaObject::invokeMethod(dialog, "reject");
        }
    });
    timer.start();
    command();
    return shown;
}

QLineEdit* EditIn(QWidget& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(QLatin1String(name));
}

void ClickIn(QWidget& dialog, const char* button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
}

void SelectInPanel(TForm1& form, int groupNo) {
    ASSERT_TRUE(form.SelectGroup(groupNo));
}

QLabel* IconOf(QWidget& board, int groupNo) {
    return board.findChild<QLabel*>(QStringLiteral("Imag%1").arg(groupNo));
}

QLabel* CaptionOf(QWidget& board, int groupNo) {
    return board.findChild<QLabel*>(QStringLiteral("Labe%1").arg(groupNo));
}
