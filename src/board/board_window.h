#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "board/group_slots.h"
#include "board/icon_neighbour.h"
#include "common/settings_file.h"
#include "platform/picture.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/table_state.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QKeyEvent;
class QStatusBar;
struct AppContext;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// The windows the board hands groups to and whose geometry it keeps in the settings file. They are
// created after the board, which owns the database they all use.
struct BoardWindows {
    TForm2* databaseSettings = nullptr;
    TForm3* fileList = nullptr;
    TForm5* groupEdit = nullptr;
    TForm4* groupCreate = nullptr;
};

// The main window: every group of the master table as its picture with its name under it, the
// details of the selected group along the bottom, and the menu of group and database commands.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(AppContext& context);
    ~TForm1() override;

    // The program's one database connection.
    Database& database() { return database_; }
    // Hands over the other windows, once: before the board is first shown, or later when the board
    // shows first. Until then the places and sizes the settings file gives them are kept for them.
    void SetWindows(const BoardWindows& windows);
    // Called when a command needs the other windows before they were handed over: it makes them.
    void MakeWindowsWith(std::function<void()> make) { makeWindows_ = std::move(make); }

    // The client area below the menu bar; this is the size the settings file keeps.
    QSize ClientSize() const;
    void SetClientSize(int width, int height);

    // Builds the icon and caption of group Index + 1 at X, Y (texts in code-page bytes). A slot
    // outside the table is left alone; a picture that cannot be read leaves the group off the board.
    void AddGroupIcon(int Index, int X, int Y, const std::string& Caption, const std::string& IconFile);
    // Frees every icon and builds the board again from the master table.
    void RebuildBoard();
    // Rebuilds the board and reads the selected group's details again; a group that is gone is no
    // longer selected.
    void RefreshBoard();
    // Selects a group as a completed press on its icon does; false when it is not in the database.
    bool SelectGroup(int groupNo);
    // Told each time the board has read the master table, with how the table stood then.
    ViewRead onViewRead;

    void FormShow();
    void FormClose();
    void mnuMakeGroupClick();
    void mnuEditGroupClick();
    void mnuDBsetClick();
    // Points the settings' server, folder and database name at `settings`, attaches that database
    // and shows its board; no group is selected afterwards.
    void SwitchDatabase(const ConnectionSettings& settings);
    void mnuExitClick();

    // The mouse on the board: a press on an icon (any button) starts a press; a movement over the
    // board or an icon drags the pressed icon while the left button is held and completes the press
    // otherwise. Positions are the press point inside the icon and the cursor on the screen.
    void GroupIconMouseDown(QWidget* Sender, int X, int Y);
    void FormMouseMove(Qt::MouseButtons buttons, QPoint cursorOnScreen);
    // Opens the file list of the group the details panel shows.
    void OpenSelectedGroup();
    // A double-click on an icon opens that icon's group: a press still pending (no movement came
    // between the clicks) is completed first, so the group becomes the selected one.
    void GroupIconDblClick(QWidget* Sender);
    void mnuOpenGroupClick();
    void mnuMoveGroupClick();
    void mnuLocInitGroupClick();
    void mnuCopyGroupClick();
    void mnuDeleteGroupClick();

    GroupSlotTable GroupSlots;
    // Selection and drag state; all zero until a group is pressed.
    int GrabX = 0;
    int GrabY = 0;
    int DragGroup = 0;
    int SelectedGroup = 0;
    bool IconPressed = false;

    QWidget* Board;  // the client area above the status bar; icons and captions live on it
    QFrame* Panel1;  // the details along the board's bottom edge
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label6;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QStatusBar* StatusBar1;
    QFrame* SelectionMark;
    // What the status line says while no database is set up, until one is.
    static QString NoDatabaseHint();
    QComboBox* ComboBox1;
    QMenu* mnuFile;
    QMenu* mnuEdit;
    QMenu* mnuTool;  // commands beyond the group board's own, added by the program's tools
    QAction* mnuMakeGroup;
    QAction* mnuOpenGroup;
    QAction* mnuDBset;
    QAction* mnuExit;
    QAction* mnuMoveGroup;
    QAction* mnuLocInitGroup;
    QAction* mnuEditGroup;
    QAction* mnuCopyGroup;
    QAction* mnuDeleteGroup;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void BuildDetailsPanel();
    void PlaceDetailsPanel();
    void BuildMenu();
    void AddGroupIconFromRow(const GroupRecord& row);
    // The picture of a group's ICONP from the img folder, the default picture when it is missing.
    QPixmap GroupPicture(const std::string& IconFile);
    // The board and every icon report their mouse events to the handlers above.
    void StartMouseRouting();
    void RouteMouse(QWidget* widget);
    void DragStep(QPoint cursorOnScreen);
    void CompletePress();
    void DropPress();
    void ShowDetails(int groupNo);
    void ShowDetailsRow(const GroupRecord& row);
    // The frame behind the selected group's icon and caption; hidden for none.
    void MarkSelected(int groupNo);
    // Arrows move the selection, Enter opens the group, F2 edits it and Delete deletes it.
    bool BoardKeyPress(const QKeyEvent& event);
    void SelectToward(BoardDirection direction);
    // Puts the icon at left, top and its caption centred under it.
    void PlaceIcon(GroupSlot& slot, int left, int top);
    // Writes the icon's position when it differs from the slot's stored one.
    void StorePosition(int groupNo, GroupSlot& slot);
    // Attached, with the master table.
    bool MasterTableReady();
    // Another desktop deleted or changed the group this one still showed: shows the board as it is and
    // says so.
    void GroupGone(const QString& message);
    // Writes the copy `copyNo` of group `source`'s master row, as the details panel shows it, and of
    // its file list; all or nothing. `row` is the source's row as read then, every text empty when it
    // was no longer as shown.
    bool CopyGroupRows(int source, std::int64_t copyNo, std::optional<GroupRecord>& row);
    // The number the details panel shows when a group command may act on it; 0 when it may not.
    // While the server is away the command says its `failure`, when it has one.
    int CommandGroup(const QString& failure = {});
    // The server is away and being reached again: says the command's `failure` and answers true.
    bool FailedWhileAway(const QString& failure);
    void FreeSlot(GroupSlot& slot);
    void FreeBoard();
    void ClearSelection();
    void ClearDetails();
    // Asks whether to go on with `action` on the group the details panel names.
    bool ConfirmForSelected(const QString& action);
    SavedSettings CurrentSettings() const;
    void ApplySettings(const SavedSettings& saved);
    void PlaceOtherWindows();
    // The other windows, made first when they are not there yet.
    const BoardWindows& Windows();

    AppContext& context_;
    Database database_;
    GroupRecord shownGroup_;  // the master row the details panel shows, as read
    BoardWindows windows_;
    std::function<void()> makeWindows_;
    // The other windows' places and sizes and the file list's columns: designed, then as the
    // settings file says. What the board keeps for them while they are not made.
    SavedSettings otherWindows_;
    PictureCache pictures_;
    // While the board is rebuilt, each picture name is looked up once.
    bool rebuilding_ = false;
    int markedGroup_ = 0;
    std::map<std::string, QPixmap> rebuildPictures_;
    QObject* mouseRouter_ = nullptr;
};
