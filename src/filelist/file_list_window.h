#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/folder_mapping.h"
#include "platform/file_looks.h"
#include "storage/records.h"
#include "storage/table_state.h"

struct AppContext;
class Database;
class FileListView;
class ImageList;
class QComboBox;
class QMimeData;
class QMenu;
class QPushButton;
class QStatusBar;
class QuickLookWindow;
struct QuickLookFile;
class Thumbnails;

// The file list of one group, shown modelessly beside the board. Every showing lists the group's
// file table afresh, its rows at once; each file's facts (size, time, icon, whether it is there) are
// looked for on threads of their own, the rows in view first, and fill the rows in as they come.
// Closing empties the list and waits for no look.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3(AppContext& context, Database& database, QWidget* parent = nullptr);

    int GroupNo = 0;        // set by the board before showing
    std::string GroupName;  // code-page bytes; set by the board before showing, used in the caption

    // Kept through the settings file.
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    int ViewStyleIndex() const;
    void SetViewStyleIndex(int index);

    // Appends the row for a full code-page path being registered and answers the file name and the
    // folder to store for it: those of its stored form under this desktop's folder mappings, or else
    // of the path with its network drive resolved.
    std::pair<std::string, std::string> AddFileItem(std::int64_t number, const std::string& path);
    // Appends the row of a registration read: shown as stored, with its network drive resolved, and
    // looked for where this desktop's folder mappings put it; a change acts on it as read.
    void AddStoredFileItem(std::int64_t number, const StoredPath& registered);
    // The remote name of the network share redirected to a drive text such as "X:", or the text.
    std::string ResolveNetworkDrive(std::string_view drive);

    // Registers files (local paths) in group `groupNo` as the add command registers chosen ones, in
    // order; their rows are listed when this window shows that group. Refusals are told to the user
    // of `messageParent`.
    void RegisterFiles(int groupNo, const QStringList& localPaths, QWidget* messageParent);
    // Registers the files of a drop the same way; folders among them are skipped and named in one
    // message.
    void RegisterDroppedFiles(int groupNo, const QMimeData& data, QWidget* messageParent);

    // Lists the shown group's file table again, keeping the selected rows that are still there.
    void Reload();
    // Selects the row of file number `number` alone and scrolls it into view; false without one.
    bool SelectFileNumber(int number);
    // Asked for from a row's context menu: the groups whose file lists hold the same file.
    std::function<void(const std::string& folder, const std::string& fileName)> onGroupsHoldingFile;
    // Told each time the list has read its group's file table, with how the table stood then.
    ViewRead onViewRead;
    // Asked for from a row's context menu: the selected rows (number, file name, folder) are sent.
    std::function<void(const std::vector<FileRecord>& rows)> onSendFiles;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Space on a row of either view opens the quick look.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Files dropped from a file manager are registered in the group shown.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildPanel();
    void BuildContextMenu();
    // Opening, showing in the file manager and copying the path of the row the menu is for.
    void AddFileCommands(QMenu& menu, int row);
    std::vector<FileRecord> SelectedRows() const;
    void FormShow();
    void FormClose();
    void Button2Click();
    void ComboBox1Select();
    void ApplyViewStyle();
    void ListView1ColumnClick(int column);
    void ListView1DblClick();
    // Opens the file at a row's local path (`lookPath` as asked for, `shown` as the row shows it)
    // with its program once it is found there, or says why it cannot.
    void OpenFile(const std::string& lookPath, const QString& shown);
    void TakeOpenings(const std::vector<FileLookQueue::Answer>& answers);

    // The rows' facts: asked for once the rows are listed, shown as they come.
    void AskFacts();
    void HurryRowsInView();
    void TakeFacts(const std::vector<FileLookQueue::Answer>& answers);
    void TakeGivenFile(quint64 look, const FileLook& found);
    void TakeSilence(const std::vector<quint64>& looks, const QString& rootName);
    void ShowLook(int row, const FileLook& look);
    void ShowSilentShares();
    // The keyboard on the rows, so that Space shows the first row's quick look at once.
    void KeyboardOnRows();

    // The icon view's thumbnails, their side kept in the preferences.
    void ChangeThumbnailSide(int steps);
    int PreferredThumbnailSide() const;
    // The quick look of the first selected row, and of the row `steps` further.
    void OpenQuickLook();
    void StepQuickLook(int steps);
    QuickLookFile QuickLookFileOf(int row) const;

    void Button1Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    // Registers each path under the next number; tells the user once when any was refused.
    void RegisterPaths(int groupNo, const std::vector<std::string>& paths, QWidget* messageParent);
    bool RegisterPath(int groupNo, const std::string& path);
    // The paths to register: those the group holds already only when the user says so.
    std::vector<std::string> AskAboutHeldFiles(int groupNo, const std::vector<std::string>& paths,
                                               QWidget* messageParent);
    // The folder and the file name stored for a full path, as AddFileItem answers them.
    StoredPath StoredNames(const std::string& path);
    // Appends the row of a registration `given` as stored, `stored` with its network drive resolved;
    // `registered` is the row as read, where it was read (a change names it whole).
    std::pair<std::string, std::string> AddRow(std::int64_t number, const StoredPath& given,
                                               const StoredPath& stored,
                                               const std::optional<StoredPath>& registered);
    std::string TableName() const;

    AppContext& context_;
    Database& database_;
    Thumbnails* thumbnails_;
    int SortColumn = 0;  // the column last clicked; kept across showings
    bool SortDescending = false;

    std::shared_ptr<void> listening_;
    quint64 lastLook_ = 0;
    bool listing_ = false;
    bool hurrying_ = false;
    std::vector<FileLookQueue::Question> unasked_;
    // The last look at each path: a list read again shows it while it looks anew.
    std::unordered_map<std::string, FileLook> lastLooks_;
    std::map<quint64, QString> openings_;  // files to open, by their look
    // Rows whose path as given differs from the path looked at (a redirected drive): whether a file
    // stands at the given one, looked for under the row's look with kGivenLook set.
    static constexpr quint64 kGivenLook = quint64{1} << 63;
    std::map<quint64, std::optional<bool>> givenFiles_;
    std::map<quint64, QString> silentRows_;  // rows told as waiting on a root that does not answer
    std::map<QString, int> silentShares_;    // how many rows wait on each such root, by its name

    FileLookQueue* rowLooks_;
    FileLookQueue* openLooks_;
    FileListView* ListView1;
    ImageList* ImageList1;
    QWidget* Panel1;
    QPushButton* Button1;
    QPushButton* Button2;
    QComboBox* ComboBox1;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QStatusBar* StatusBar1;
    QuickLookWindow* quickLook_;
    int quickLookRow_ = -1;
};
