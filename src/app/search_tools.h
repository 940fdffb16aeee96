#pragma once

#include "search/change_watch.h"
#include "search/index_keeper.h"
#include "search/search_window.h"

class QAction;
struct AppContext;
class TForm1;
class TForm3;

// Search and refresh on the board's tools menu, the file list's "groups holding this file", the
// watch for changes made by other desktops and the search index it keeps up to date, wired to the
// windows they act on. They are there from the board's first showing on; the file list joins them
// when it is made.
class SearchTools {
public:
    SearchTools(AppContext& context, TForm1& board);
    void AddFileList(TForm3& fileList);

    IndexKeeper index;
    SearchWindow window;
    ChangeWatcher watcher;
    QAction* mnuSearch;
    QAction* mnuRefresh;

private:
    void Refresh(bool everything);
    void Open(const SearchHit& hit);

    // The group the file list shows; 0 while it is closed or not made yet.
    int ListedGroup() const;

    TForm1& board_;
    TForm3* fileList_ = nullptr;
};
