#include "app/connection_keeper.h"

#include <QStatusBar>

#include "board/board_window.h"
#include "search/change_watch.h"

ConnectionKeeper::ConnectionKeeper(TForm1& board, ChangeWatcher& watcher)
    : QObject(&board), board_(board), watcher_(watcher) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &ConnectionKeeper::Poll);
    listening_ = board_.database().Listen([this](Database::ConnectionEvent event) {
        switch (event) {
            case Database::ConnectionEvent::Lost:
                board_.StatusBar1->showMessage(
                    QStringLiteral("サーバーとの接続が切れました。再接続しています..."));
                poll_.start();
                break;
            case Database::ConnectionEvent::Restored:
                board_.StatusBar1->showMessage(QStringLiteral("サーバーに再接続しました。"), 5000);
                watcher_.RequestRefresh();
                break;
            case Database::ConnectionEvent::Detached:
                poll_.stop();
                board_.StatusBar1->clearMessage();
                break;
            case Database::ConnectionEvent::Attached:
                break;
        }
    });
}

void ConnectionKeeper::Poll() {
    Database& database = board_.database();
    if (!database.Lost()) {
        poll_.stop();
        return;
    }
    database.Reattached();
}
