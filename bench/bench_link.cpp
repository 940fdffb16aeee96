#include "bench_link.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "bench_support.h"
#include "support/slow_link.h"

namespace {

struct Link {
    std::string serverPrefix;  // empty when the benchmarks run embedded
    std::unique_ptr<SlowLink> relay;
};

const char* ServerState() {
    const char* state = std::getenv("QARTO_BENCH_SERVER");
    return state != nullptr && *state != '\0' ? state : nullptr;
}

// Made at its first use, not while the benchmarks are registered.
const Link& TheLink() {
    static const Link link = [] {
        Link made;
        if (!OverLink()) {
            return made;
        }
        std::ifstream(std::string(ServerState()) + "/prefix") >> made.serverPrefix;
        const std::size_t slash = made.serverPrefix.find('/');
        const std::size_t colon = made.serverPrefix.rfind(':');
        Require(slash != std::string::npos && colon != std::string::npos && colon > slash,
                "QARTO_BENCH_SERVER names no running private server");
        const int port = std::atoi(made.serverPrefix.substr(slash + 1, colon - slash - 1).c_str());
        const char* oneWay = std::getenv("QARTO_BENCH_LINK_MS");
        made.relay = std::make_unique<SlowLink>(
            port, std::chrono::milliseconds(oneWay != nullptr ? std::atoi(oneWay) : 10));
        return made;
    }();
    return link;
}

}  // namespace

bool OverLink() {
    return ServerState() != nullptr;
}

std::string MeasuredPrefix() {
    return OverLink() ? "127.0.0.1/" + std::to_string(TheLink().relay->Port()) + ":" : std::string();
}

std::string SetupPrefix() {
    return TheLink().serverPrefix;
}

long long LinkRoundTrips() {
    return OverLink() ? TheLink().relay->RoundTrips() : 0;
}
