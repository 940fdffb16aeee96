#include "outside_tools.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <QFile>
#include <QProcess>

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/schema.h"

namespace {

// The rows of the result just opened, then closed.
std::vector<std::vector<std::string>> ReadResult(Database& database, int rows, int columns) {
    std::vector<std::vector<std::string>> result(std::max(rows, 0),
                                                 std::vector<std::string>(std::max(columns, 0)));
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (i == 0) {
            database.ReadFirstRow(result[i]);
        } else {
            database.ReadNextRow(result[i]);
        }
    }
    database.CloseResult();
    return result;
}

QString ServerScript() {
    return QStringLiteral(QARTO_SOURCE_DIR "/scripts/firebird-test-server");
}

}  // namespace

bool RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool SetReadOnly(const ConnectionSettings& settings, bool readOnly) {
    return RunTool(
        QStringLiteral("gfix"),
        {QStringLiteral("-mode"), readOnly ? QStringLiteral("read_only") : QStringLiteral("read_write"),
         QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-password"),
         QStringLiteral("riverbank"), QString::fromStdString(settings.DatabasePath())});
}

OwnServer::OwnServer() : state_(parent_.filePath(QStringLiteral("server"))) {
    EXPECT_TRUE(Start());
}

OwnServer::~OwnServer() {
    Stop();
}

bool OwnServer::Start() {
    QStringList arguments{QStringLiteral("start"), state_};
    if (!port_.isEmpty()) {
        arguments << port_;
    }
    if (!RunTool(ServerScript(), arguments)) {
        return false;
    }
    QFile prefix(state_ + QStringLiteral("/prefix"));
    if (!prefix.open(QIODevice::ReadOnly)) {
        return false;
    }
    prefix_ = prefix.readAll().trimmed().toStdString();
    // "127.0.0.1/<port>:"
    port_ = QString::fromStdString(prefix_).section(QLatin1Char('/'), 1).chopped(1);
    return true;
}

bool OwnServer::Stop() {
    return RunTool(ServerScript(), {QStringLiteral("stop"), state_});
}

bool OwnServer::Signal(int signal) {
    QFile pid(state_ + QStringLiteral("/pid"));
    return pid.open(QIODevice::ReadOnly) &&
           kill(static_cast<pid_t>(pid.readAll().trimmed().toLongLong()), signal) == 0;
}

bool StoreTwoGroups(Database& database) {
    bool stored = CreateGroupTable(database);
    for (const int number : {1, 2}) {
        GroupRecord values;
        values.fill("NULL");
        values[kGroupN] = SqlNumber(number);
        values[kGroupName] = SqlText(number == 1 ? "one" : "two");
        values[kGroupX] = SqlNumber(64 * (number - 1));
        values[kGroupY] = SqlNumber(64);
        stored = database.InsertRow(kGroupTable, GroupColumnNames(), values) && stored;
        stored = CreateFileTable(database, FileTableName(number)) && stored;
    }
    return stored;
}

TableContents ReadAllTables(Database& database) {
    TableContents contents;
    const auto names = ReadResult(database,
                                  database.OpenSelect("RDB$RELATION_NAME", "RDB$RELATIONS",
                                                      "RDB$SYSTEM_FLAG = 0 AND RDB$VIEW_BLR IS NULL", "1"),
                                  1);
    for (const std::vector<std::string>& name : names) {
        const std::string table = name[0].substr(0, name[0].find_last_not_of(' ') + 1);
        const int columns = database.CountColumns(table);
        contents[table] = ReadResult(database, database.OpenSelect("*", table, "", "1"), columns);
    }
    return contents;
}
