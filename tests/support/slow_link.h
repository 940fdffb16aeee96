#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
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
    // From now on the `n`th connection made through the link (0: the first) passes nothing more
    // either way, as over a route to the server that went dead under that one connection.
    void Hold(int n);
    // The held `n`th connection has bytes of a request that it does not pass on.
    bool RequestHeld(int n) const;

private:
    void Relay();

    int serverPort_;
    std::chrono::milliseconds oneWay_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<long long> roundTrips_{0};
    mutable std::mutex heldMutex_;
    std::set<int> held_;         // the connections held, by the order they were made in
    std::set<int> heldRequest_;  // of them, those with a request held back
    std::thread thread_;
};
