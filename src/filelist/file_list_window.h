#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct AppContext;
class Database;
class FileListView;
class ImageList;
class QComboBox;
class QPushButton;
class QStatusBar;

// The file list of one group, shown modelessly beside the board. Every showing lists the group's
// file table afresh; closing empties the list.
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

    // Appends the row for a full code-page path and answers the file name and the folder to store
    // for it: those of the path with its network drive resolved.
    std::pair<std::string, std::string> AddFileItem(std::int64_t number, const std::string& path);
    // The remote name of the network share redirected to a drive text such as "X:", or the text.
    std::string ResolveNetworkDrive(std::string_view drive);

    // Lists the shown group's file table again, keeping the selected rows that are still there.
    void Reload();
    // Selects the row of file number `number` alone and scrolls it into view; false without one.
    bool SelectFileNumber(int number);
    // Asked for from a row's context menu: the groups whose file lists hold the same file.
    std::function<void(const std::string& folder, const std::string& fileName)> onGroupsHoldingFile;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildPanel();
    void BuildContextMenu();
    void FormShow();
    void FormClose();
    void Button2Click();
    void ComboBox1Select();
    void ApplyViewStyle();
    void ListView1ColumnClick(int column);
    void ListView1DblClick();

    void Button1Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    // Registers each path under the next number; tells the user once when any was refused.
    void RegisterPaths(const std::vector<std::string>& paths);
    bool RegisterPath(const std::string& path);
    std::string TableName() const;

    AppContext& context_;
    Database& database_;
    int SortColumn = 0;  // the column last clicked; kept across showings

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
};
