#pragma once

#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/connection_worker.h"
#include "search/group_search.h"
#include "search/index_file.h"
#include "search/index_view.h"
#include "storage/database.h"
class IndexKeeper;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The search window: groups and registered files found by text as it is typed, and the groups
// that hold one file. Modeless, one for the whole run; a result opened shows its group on the board.
// It searches over a connection of its own, on a thread of its own, that follows the program's
// connection: a server slow to answer never keeps the windows waiting.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    // Folders of this machine are found under the stored forms `mappings` give them.
    SearchWindow(Database& database, const FolderMappings& mappings, QWidget* parent);

    // Searches the index `keeper` keeps where it can serve (the window keeps no index of its own).
    void UseIndex(IndexKeeper* keeper) { keeper_ = keeper; }
    // Shows the window with the focus in the text field.
    void ShowForTyping();
    // Shows the window listing every group whose file list holds this folder and file name.
    void ShowGroupsHolding(const std::string& folder, const std::string& fileName);
    // Starts the search for the text in the field at once; the results follow.
    void RunSearch();
    // A search is under way; its results are not listed yet.
    bool Searching() const { return searching_; }
    // Shows afresh what the window shows, after the program itself changed registrations.
    void SearchAgain();
    // Nothing is left of what showing the window for typing set going: the window's connection has
    // learned the file tables, by the window's own statements or by a search.
    bool WarmedUp() const { return !warmingUp_; }
    // Sees the statements of the window's own connection, on its thread; for tests.
    void TraceStatements(Database::StatementTrace trace);

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
    // Runs `work` over the window's connection (and the index, when it can serve) and lists its
    // outcome, unless a later search came first.
    using Work = std::function<SearchOutcome(Database& connection, const SearchIndex* index)>;
    void Post(Work work, const QString& foundText);
    // A search asked for: whatever is under way gives up.
    int NewRequest();
    // The index file for `view`, opened for searching on the window's thread; nothing when there is
    // none.
    IndexFile* Reader(const IndexView& view);
    void StartWarmUp();
    void StopWarmUp();
    void PostWarmUpStep(int round);
    // The database the results were read from is left: they go, and so does the warm-up.
    void DatabaseLeft();

    Database& database_;
    const FolderMappings& mappings_;
    IndexKeeper* keeper_ = nullptr;
    QTimer typingPause_;
    FileTableWarmUp warmUp_;             // used on the worker's thread only
    std::unique_ptr<IndexFile> reader_;  // used on the worker's thread only
    ConnectionWorker worker_;
    int request_ = 0;  // the latest search; earlier ones are not listed
    // The latest search, for the window's thread: one asked for before it gives up.
    std::shared_ptr<std::atomic<int>> latest_ = std::make_shared<std::atomic<int>>(0);
    bool searching_ = false;
    int warmUpRound_ = 0;
    bool warmingUp_ = false;
    std::vector<SearchHit> hits_;
    // The folder and file name whose groups are shown; none when the results are the text's.
    std::optional<std::pair<std::string, std::string>> holding_;
    std::shared_ptr<void> listening_;
};
