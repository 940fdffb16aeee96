#include "support/test_database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cstdlib>

namespace {

const char* ServerStateFolder() { return std::getenv("QARTO_TEST_SERVER_STATE"); }

}  // namespace

TestDatabaseLocation::TestDatabaseLocation() {
    folder_ = dir_.path().toStdString() + "/";
    settings_ = ConnectionSettings::Defaults();
    settings_.serverPrefix = ServerPrefix();
    settings_.dataFolder = folder_;
    settings_.databaseName = "TEST.FDB";
}

bool TestDatabaseLocation::ThroughServer() { return ServerStateFolder() != nullptr; }

std::string TestDatabaseLocation::ServerPrefix() {
    const char* state = ServerStateFolder();
    if (state == nullptr) {
        return std::string();
    }
    QFile file(QString::fromLocal8Bit(state) + "/prefix");
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "the private test server is not running (no " << state << "/prefix)";
        return std::string();
    }
    return file.readAll().trimmed().toStdString();
}
