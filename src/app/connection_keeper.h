#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

class ChangeWatcher;
class TForm1;

// Brings the program back to a server that went away: while the connection is lost, the status line
// says so and the connection made again in the background is taken up; then the board and the open
// file list are read again.
class ConnectionKeeper : public QObject {
public:
    ConnectionKeeper(TForm1& board, ChangeWatcher& watcher);

    static constexpr int kPollMs = 200;

private:
    void Poll();

    TForm1& board_;
    ChangeWatcher& watcher_;
    QTimer poll_;
    std::shared_ptr<void> listening_;
};
