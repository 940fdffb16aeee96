#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "storage/database.h"
#include "storage/schema.h"
#include "support/slow_link.h"
#include "support/test_database.h"

// The relay the benchmarks reach a server through as over a slow link: every request waits out the
// round trip, and what comes back is what the server said.
TEST(SlowLink, aServerReachedThroughItAnswersAfterEveryRoundTrip) {
    if (!TestDatabaseLocation::ThroughServer()) {
        GTEST_SKIP() << "needs the private server";
    }
    TestDatabaseLocation location;
    {
        Database creator(location.settings());
        creator.CreateDatabase();
        ASSERT_TRUE(CreateGroupTable(creator));
    }
    const std::string prefix = TestDatabaseLocation::ServerPrefix();  // "127.0.0.1/<port>:"
    const int port = std::stoi(prefix.substr(prefix.find('/') + 1));
    const std::chrono::milliseconds oneWay{10};
    SlowLink link(port, oneWay);
    ConnectionSettings slow = location.settings();
    slow.serverPrefix = "127.0.0.1/" + std::to_string(link.Port()) + ":";
    Database database(slow);

    const auto started = std::chrono::steady_clock::now();
    database.ConnectDatabase();
    ASSERT_TRUE(database.Attached()) << database.LastError();
    EXPECT_EQ(database.CountRows(kGroupTable, ""), 0);
    const auto took = std::chrono::steady_clock::now() - started;
    // Attaching and counting take several exchanges, each of which waits out the whole round trip.
    EXPECT_GE(link.RoundTrips(), 3);
    EXPECT_GE(took, 3 * 2 * oneWay);
}
