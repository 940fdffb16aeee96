#pragma once

#include <memory>

#include "app/backup_tools.h"
#include "app/connection_keeper.h"
#include "app/search_tools.h"
#include "app/send_tools.h"
#include "board/board_window.h"
#include "dialogs/database_settings_dialog.h"
#include "dialogs/group_create_dialog.h"
#include "dialogs/group_edit_dialog.h"
#include "filelist/file_list_window.h"
#include "relink/relink_tools.h"

struct AppContext;

// The board and what must be there from its first showing on: the change watch, which learns what
// the board read, the backups, which hear of the first attach, and the reconnecting.
struct BoardStart {
    explicit BoardStart(AppContext& context);

    TForm1 form1;
    SearchTools search;
    BackupTools backup;
    ConnectionKeeper* connection;  // owned by the board
};

// The program's five windows, created in this order, and its tools, alive until the end of the run.
// The board owns the database the others use; they are its dependent windows, so closing the board
// ends the program even while the file list is open. The four windows after the board and the
// relinking tools, which nobody meets before the board, are made after the board's start: at once, or
// (see ProgramStart) once the board shows.
struct AppWindows {
    // Every window at once.
    explicit AppWindows(AppContext& context);
    // The other windows, for the board's `start`.
    AppWindows(AppContext& context, std::unique_ptr<BoardStart> start);

private:
    std::unique_ptr<BoardStart> start_;  // goes last

public:
    TForm1& form1;
    SearchTools& search;
    BackupTools& backup;  // ends its work before the board goes
    ConnectionKeeper* connection;
    TForm2 form2;
    TForm3 form3;
    TForm5 form5;
    TForm4 form4;
    RelinkTools relink;
    SendTools send;
};
