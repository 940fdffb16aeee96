#include "support/slow_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <deque>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Bytes on their way in one direction, each chunk with the moment it may be passed on.
struct Chunk {
    Clock::time_point due;
    std::vector<char> bytes;
    std::size_t sent = 0;
};

// One client's connection and its connection to the server.
struct Pair {
    int number = 0;  // in the order the connections were made
    int client = -1;
    int server = -1;
    std::deque<Chunk> toServer;
    std::deque<Chunk> toClient;
    bool answered = true;  // the last bytes went to the client: the next to the server start a request

    ~Pair() {
        close(client);
        close(server);
    }
};

int ConnectTo(int port) {
    const int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(handle);
        return -1;
    }
    const int on = 1;
    setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return handle;
}

// Reads what `from` has into `queue`, due after `delay`; false once the connection has ended.
bool Take(int from, std::deque<Chunk>& queue, std::chrono::milliseconds delay) {
    char buffer[65536];
    const ssize_t got = recv(from, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got <= 0) {
        return got < 0 && (errno == EAGAIN || errno == EINTR);
    }
    queue.push_back(Chunk{Clock::now() + delay, std::vector<char>(buffer, buffer + got)});
    return true;
}

// Passes on the chunks of `queue` that are due; false once the connection has ended.
bool Pass(int to, std::deque<Chunk>& queue) {
    while (!queue.empty() && queue.front().due <= Clock::now()) {
        Chunk& chunk = queue.front();
        const ssize_t sent = send(to, chunk.bytes.data() + chunk.sent, chunk.bytes.size() - chunk.sent,
                                  MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            return errno == EAGAIN || errno == EINTR;
        }
        chunk.sent += static_cast<std::size_t>(sent);
        if (chunk.sent < chunk.bytes.size()) {
            return true;
        }
        queue.pop_front();
    }
    return true;
}

}  // namespace

SlowLink::SlowLink(int serverPort, std::chrono::milliseconds oneWay)
    : serverPort_(serverPort), oneWay_(oneWay) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(listener_, 16) == 0 &&
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port_ = ntohs(address.sin_port);
    }
    if (pipe2(wake_, O_CLOEXEC) == 0) {
        thread_ = std::thread([this] { Relay(); });
    }
}

SlowLink::~SlowLink() {
    if (thread_.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t written = write(wake_[1], &stop, 1);
        thread_.join();
    }
    close(wake_[0]);
    close(wake_[1]);
    close(listener_);
}

void SlowLink::Hold(int n) {
    std::lock_guard lock(heldMutex_);
    held_.insert(n);
}

bool SlowLink::RequestHeld(int n) const {
    std::lock_guard lock(heldMutex_);
    return heldRequest_.count(n) != 0;
}

void SlowLink::Relay() {
    std::vector<std::unique_ptr<Pair>> pairs;
    int made = 0;
    const auto held = [this](const Pair& pair) {
        std::lock_guard lock(heldMutex_);
        return held_.count(pair.number) != 0;
    };
    for (;;) {
        std::vector<pollfd> watched{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        Clock::time_point next = Clock::time_point::max();
        for (const auto& pair : pairs) {
            watched.push_back({pair->client, POLLIN, 0});
            watched.push_back({pair->server, POLLIN, 0});
            for (const auto* queue : {&pair->toServer, &pair->toClient}) {
                if (!queue->empty() && !held(*pair)) {
                    next = std::min(next, queue->front().due);
                }
            }
        }
        int timeout = -1;
        if (next != Clock::time_point::max()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
            timeout = static_cast<int>(std::max<long long>(wait.count(), 0));
        }
        poll(watched.data(), watched.size(), timeout);
        if (watched[0].revents != 0) {
            return;
        }
        // A connection accepted now is watched from the next turn on.
        const std::size_t watchedPairs = pairs.size();
        if (watched[1].revents & POLLIN) {
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = client >= 0 ? ConnectTo(serverPort_) : -1;
            if (server >= 0) {
                const int on = 1;
                setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                auto pair = std::make_unique<Pair>();
                pair->number = made++;
                pair->client = client;
                pair->server = server;
                pairs.push_back(std::move(pair));
            } else if (client >= 0) {
                close(client);
            }
        }
        for (std::size_t i = 0; i < watchedPairs; ++i) {
            Pair& pair = *pairs[i];
            bool open = true;
            if (watched[2 + 2 * i].revents != 0) {
                const std::size_t before = pair.toServer.size();
                open = Take(pair.client, pair.toServer, oneWay_) && open;
                if (pair.toServer.size() > before && pair.answered) {
                    pair.answered = false;
                    ++roundTrips_;
                }
            }
            if (watched[3 + 2 * i].revents != 0) {
                const std::size_t before = pair.toClient.size();
                open = Take(pair.server, pair.toClient, oneWay_) && open;
                pair.answered = pair.answered || pair.toClient.size() > before;
            }
            if (!held(pair)) {
                open = Pass(pair.server, pair.toServer) && Pass(pair.client, pair.toClient) && open;
            } else if (!pair.toServer.empty()) {
                std::lock_guard lock(heldMutex_);
                heldRequest_.insert(pair.number);
            }
            if (!open) {
                pairs[i].reset();
            }
        }
        std::erase(pairs, nullptr);
    }
}
