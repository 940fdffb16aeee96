#pragma once

#include <string>

// Where the benchmarks' databases live. Normally embedded in temporary folders; when
// QARTO_BENCH_SERVER names the state folder of a private server (scripts/firebird-test-server),
// they live on that server, and everything measured reaches it through a SlowLink that holds each
// direction back QARTO_BENCH_LINK_MS milliseconds (10 when unset: a 20 ms round trip). The data
// is made over a direct connection to the server, so that making it does not wait on the link.

bool OverLink();
// The prefix of what is measured ("127.0.0.1/<relay port>:"), empty when embedded.
std::string MeasuredPrefix();
// The prefix the data is made through: the server's own port, empty when embedded.
std::string SetupPrefix();
// Requests that have crossed the link so far.
long long LinkRoundTrips();

// The size of an operation: smaller over the link, where each statement waits for its round trips.
inline int Sized(int embedded, int overLink) {
    return OverLink() ? overLink : embedded;
}
