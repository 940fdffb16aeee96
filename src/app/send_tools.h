#pragma once

class DrawingSender;
class QAction;
class TForm1;
class TForm3;
struct AppContext;

// The sending of drawing sets: "図面の送付(&T)..." and "図面の送付の履歴(&H)..." in the board's file
// menu after "グループを開く(&O)", and "図面の送付(&T)..." in the file list's context menu for the
// rows selected.
class SendTools {
public:
    SendTools(AppContext& context, TForm1& board, TForm3& fileList);

    DrawingSender* sender;
    QAction* mnuSend;
    QAction* mnuSendHistory;
};
