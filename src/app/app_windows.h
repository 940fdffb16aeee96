#pragma once

#include "app/backup_tools.h"
#include "app/connection_keeper.h"
#include "app/search_tools.h"
#include "board/board_window.h"
#include "dialogs/database_settings_dialog.h"
#include "dialogs/group_create_dialog.h"
#include "dialogs/group_edit_dialog.h"
#include "filelist/file_list_window.h"
#include "relink/relink_tools.h"

struct AppContext;

// The program's five windows, created in this order (the order of the members) and alive until the
// end of the run. The board owns the database the others use; they are its dependent windows, so
// closing the board ends the program even while the file list is open.
struct AppWindows {
    explicit AppWindows(AppContext& context);

    TForm1 form1;
    TForm2 form2;
    TForm3 form3;
    TForm5 form5;
    TForm4 form4;

    SearchTools search;
    RelinkTools relink;            // after the search tools in the tools menu
    ConnectionKeeper* connection;  // owned by the board
    BackupTools backup;            // after the relinking tools; ends its work before the board goes
};
