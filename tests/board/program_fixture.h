#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_windows.h"
#include "common/designed_settings.h"
#include "common/settings_file.h"
#include "platform/app_context.h"
#include "platform/shell.h"
#include "storage/database.h"
#include "support/scripted_prompts.h"
#include "support/test_database.h"
#include "support/typing.h"

// A master row with empty descriptive texts; a missing position is stored as NULL.
void InsertGroupRow(Database& database, int number, const std::string& name, const std::string& picture,
                    std::optional<int> x, std::optional<int> y);
// Creates the database at `location` with a master table holding one group.
void CreateDatabaseWithGroup(const TestDatabaseLocation& location, int number, const std::string& name, int x,
                             int y);

// Prompts that also let a test act at the moment a message is shown or a question asked, as
// another user might.
class ObservedPrompts : public ScriptedPrompts {
public:
    void Message(QWidget* parent, const QString& text) override;
    bool Question(QWidget* parent, const QString& text) override;
    std::function<void(const QString& text)> onMessage;
    std::function<void(const QString& text)> onQuestion;
};

// One run of the program in a temporary application folder: the executable's path, the img folder
// with a red 32 x 32 default picture, the settings file beside the executable, and the five windows.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest();
    ~ProgramTest() override;

    QString PicturePath(const QString& name) const;
    QString SettingsPath() const;
    // A settings file naming `connection`, with the windows' designed geometry.
    void WriteSettings(const ConnectionSettings& connection);
    void WriteSettings(const SavedSettings& saved, const QString& path);
    // Creates the windows and shows the board, as main() does.
    void Start();
    TForm1& board() { return windows->form1; }

    QTemporaryDir appFolder;
    ObservedPrompts prompts;
    std::unique_ptr<Shell> shell = MakeSystemShell();
    AppContext context;
    std::unique_ptr<AppWindows> windows;
};

// A program run whose settings name a fresh database with an empty master table. `other` is a second
// connection to it: another client of the same database.
class BoardTest : public ProgramTest {
protected:
    BoardTest();
    // The windows go first: their connection is to a database in this test's folder.
    ~BoardTest() override { windows.reset(); }

    void InsertGroup(int number, const std::string& name, const std::string& picture, std::optional<int> x,
                     std::optional<int> y) {
        InsertGroupRow(other, number, name, picture, x, y);
    }
    // From now on every statement the board's connection sends is added to `sent`.
    void RecordStatements();

    std::vector<std::string> sent;

    TestDatabaseLocation location;
    Database other{location.settings()};
};

// Settings that put the main window at 50, 60 (700 x 420) and every other window somewhere else than
// its designed place, the file list's columns 101 to 105 pixels wide, its third view style.
SavedSettings SettingsPlacingEveryWindow();
// The windows after the board stand, and the file list shows, as those settings say.
void ExpectPlacedAsSaved(AppWindows& windows);

// Runs `command`; while it shows a modal dialog, `drive` acts on it once (a dialog still open after
// that is rejected). Answers the dialog that was shown, or nullptr when none was.
QWidget* RunWithDialog(const std::function<void()>& command,
                       const std::function<void(QWidget& dialog)>& drive);

// A dialog's edit and a click on its button, found by their names.
QLineEdit* EditIn(QWidget& dialog, const char* name);
void ClickIn(QWidget& dialog, const char* button);

// Selects a group as a completed press on its icon does, without the mouse: the details panel shows
// its row as read.
void SelectInPanel(TForm1& form, int groupNo);

// The live slot's icon and caption of group `groupNo` found by their names, or nullptr.
QLabel* IconOf(QWidget& board, int groupNo);
QLabel* CaptionOf(QWidget& board, int groupNo);
