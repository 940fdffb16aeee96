#pragma once

#include <QObject>
#include <string>

#include "search/group_search.h"
#include "storage/following_connection.h"

class SearchNeedle;

// The search window's work, done over a connection of its own on the window's thread, so that a
// server slow to answer never keeps the windows waiting. Used only on that thread.
class SearchWorker : public QObject {
public:
    FollowingConnection& connection() { return connection_; }

    SearchOutcome FindText(const SearchNeedle& needle);
    SearchOutcome FindFile(const std::string& folder, const std::string& fileName);
    void RestartWarmUp() { warmUp_.Restart(); }
    // One step of letting the connection learn the file tables; false when nothing is left.
    bool WarmUpStep();

private:
    // The connection, with what a new one does not know yet.
    Database* Use();

    FollowingConnection connection_;
    FileTableWarmUp warmUp_;
};
