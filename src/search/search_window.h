#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "search/group_search.h"

class Database;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The search window: groups and registered files found by text as it is typed, and the groups
// that hold one file. Modeless, one for the whole run; a result opened shows its group on the board.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    SearchWindow(Database& database, QWidget* parent);

    // Shows the window with the focus in the text field.
    void ShowForTyping();
    // Shows the window listing every group whose file list holds this folder and file name.
    void ShowGroupsHolding(const std::string& folder, const std::string& fileName);
    // Runs the search for the text in the field at once.
    void RunSearch();
    // Shows afresh what the window shows, after the program itself changed registrations.
    void SearchAgain();
    // Nothing is left of what showing the window for typing set going: the connection has learned
    // the file tables, by the window's own statements or by a search.
    bool WarmedUp() const { return !warmUpTimer_.isActive(); }

    // A result chosen with Enter or a double-click.
    std::function<void(const SearchHit& hit)> onOpen;

    QLineEdit* Edit1;        // the search text
    QTreeWidget* ListView1;  // the results
    QLabel* StatusBar1;      // how many were found, or why nothing was

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowOutcome(const SearchOutcome& outcome, const QString& foundText);
    void ListGroupsHolding();
    void OpenItem(QTreeWidgetItem* item);
    void ShowWindow();
    void WarmUpStep();
    // The database the results were read from is left: they go, and so does the warm-up.
    void DatabaseLeft();

    Database& database_;
    QTimer typingPause_;
    FileTableWarmUp warmUp_;
    QTimer warmUpTimer_;
    std::vector<SearchHit> hits_;
    // The folder and file name whose groups are shown; none when the results are the text's.
    std::optional<std::pair<std::string, std::string>> holding_;
    std::shared_ptr<void> listening_;
};
