#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

#include "common/connection_settings.h"

class Database;

// Runs a program to its end; true when it exits with 0. Its output goes to the test's log.
bool RunTool(const QString& program, const QStringList& arguments);

// Switches a database that nobody is attached to between read-only and read-write, as an
// administrator does with gfix.
bool SetReadOnly(const ConnectionSettings& settings, bool readOnly);

// A private Firebird server of one test's own (scripts/firebird-test-server), which the test may
// stop while the program is attached and start again at the same address.
class OwnServer {
public:
    OwnServer();  // started
    ~OwnServer();
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

    bool Start();
    bool Stop();
    // Sends the server process a signal: SIGSTOP freezes it, SIGCONT lets it go on.
    bool Signal(int signal);
    // "127.0.0.1/<port>:"
    const std::string& prefix() const { return prefix_; }
    int port() const { return port_.toInt(); }

private:
    QTemporaryDir parent_;
    QString state_;
    QString port_;
    std::string prefix_;
};

// Groups 1 "one" at 0, 64 and 2 "two" at 64, 64 with their empty file tables, in a database that
// has no tables yet. The top left, where a new group goes, stays free.
bool StoreTwoGroups(Database& database);

// Every user table of the database with all its rows in ascending order of the first column, each
// column as text: what "nothing was lost" is checked against.
using TableContents = std::map<std::string, std::vector<std::vector<std::string>>>;
TableContents ReadAllTables(Database& database);
