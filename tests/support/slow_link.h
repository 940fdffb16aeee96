#pragma once

#include <atomic>
#include <chrono>
#include <thread>

// A loopback TCP relay that holds every byte back for `oneWay` in each direction, so that a server on
// this machine is reached as over a link with twice that round trip (the kernel here has no netem).
// Connect to Port() instead of the server's port. Its connections and its thread end when it is
// dropped.
class SlowLink {
public:
    SlowLink(int serverPort, std::chrono::milliseconds oneWay);
    ~SlowLink();
    SlowLink(const SlowLink&) = delete;
    SlowLink& operator=(const SlowLink&) = delete;

    int Port() const { return port_; }
    // Requests answered so far: each time bytes go to the server after bytes came back from it.
    long long RoundTrips() const { return roundTrips_; }

private:
    void Relay();

    int serverPort_;
    std::chrono::milliseconds oneWay_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<long long> roundTrips_{0};
    std::thread thread_;
};
