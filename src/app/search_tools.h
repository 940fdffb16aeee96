#pragma once

#include "search/change_watch.h"
#include "search/search_window.h"

class QAction;
struct AppContext;
class TForm1;
class TForm3;

// Search and refresh on the board's tools menu, the file list's "groups holding this file", and the
// watch for changes made by other desktops, wired to the windows they act on.
class SearchTools {
public:
    SearchTools(AppContext& context, TForm1& board, TForm3& fileList);

    SearchWindow window;
    ChangeWatcher watcher;
    QAction* mnuSearch;
    QAction* mnuRefresh;

private:
    void Refresh(bool everything);
    void Open(const SearchHit& hit);

    TForm1& board_;
    TForm3& fileList_;
};
