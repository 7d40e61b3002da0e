#include "LatencyProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <list>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

struct Chunk
{
    Clock::time_point due;
    std::string bytes; // empty: the sender closed its side
};

// One direction of a connection: what came from `from`, waiting to be written to `to`.
struct Lane
{
    int from = -1;
    int to = -1;
    std::deque<Chunk> waiting;
    Clock::time_point lastDue;
    bool readClosed = false;
    bool writeClosed = false;
};

// Counts the TLS records of type application data a client sends. Under TLS 1.3 its handshake
// ends with one (the encrypted Finished); any further one carries a request.
struct RecordCounter
{
    unsigned char header[5] = {};
    size_t headerHave = 0;
    size_t bodyLeft = 0;
    int applicationData = 0;

    void take(const char* bytes, size_t size)
    {
        while (size > 0) {
            if (bodyLeft > 0) {
                const size_t skipped = std::min(bodyLeft, size);
                bodyLeft -= skipped;
                bytes += skipped;
                size -= skipped;
                continue;
            }
            header[headerHave++] = static_cast<unsigned char>(*bytes++);
            --size;
            if (headerHave == sizeof header) {
                headerHave = 0;
                bodyLeft = size_t(header[3]) << 8 | header[4];
                if (header[0] == 23)
                    ++applicationData;
            }
        }
    }
};

struct Pair
{
    Lane up;   // client to server
    Lane down; // server to client
    RecordCounter sent;
    bool carriedRequest = false;
    bool done() const { return up.writeClosed && down.writeClosed; }
};

int connectTo(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// Writes what is due; a partial write keeps the rest at the front.
void flush(Lane& lane, Clock::time_point now)
{
    while (!lane.waiting.empty() && lane.waiting.front().due <= now && !lane.writeClosed) {
        Chunk& chunk = lane.waiting.front();
        if (chunk.bytes.empty()) {
            shutdown(lane.to, SHUT_WR);
            lane.writeClosed = true;
            lane.waiting.pop_front();
            break;
        }
        const ssize_t written =
            send(lane.to, chunk.bytes.data(), chunk.bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            lane.writeClosed = true; // the other side is gone
            lane.waiting.clear();
            return;
        }
        chunk.bytes.erase(0, size_t(written));
        if (!chunk.bytes.empty())
            return;
        lane.waiting.pop_front();
    }
}
} // namespace

LatencyProxy::LatencyProxy(int targetPort, int roundTripMs)
    : m_targetPort(targetPort), m_roundTripMs(roundTripMs)
{
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(m_listener, 64) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        pipe(m_wake) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this]() { run(); });
}

LatencyProxy::~LatencyProxy()
{
    if (m_thread.joinable()) {
        const char stop = 's';
        [[maybe_unused]] const ssize_t n = write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (const int fd : {m_listener, m_wake[0], m_wake[1]})
        if (fd >= 0)
            close(fd);
}

void LatencyProxy::run()
{
    const auto half = std::chrono::microseconds(m_roundTripMs * 500);
    const auto whole = std::chrono::milliseconds(m_roundTripMs);
    std::list<Pair> pairs;
    for (;;) {
        // Sleep until the next chunk is due, or something arrives.
        auto now = Clock::now();
        int timeoutMs = -1;
        std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        std::vector<Lane*> lanes;
        std::vector<Pair*> pairOf;
        for (Pair& pair : pairs) {
            for (Lane* lane : {&pair.up, &pair.down}) {
                if (!lane->waiting.empty()) {
                    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                                          lane->waiting.front().due - now)
                                          .count() +
                                      1;
                    timeoutMs = timeoutMs < 0
                                    ? int(std::max<long long>(wait, 0))
                                    : std::min(timeoutMs, int(std::max<long long>(wait, 0)));
                }
                if (!lane->readClosed) {
                    fds.push_back({lane->from, POLLIN, 0});
                    lanes.push_back(lane);
                    pairOf.push_back(&pair);
                }
            }
        }
        if (poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            break;
        now = Clock::now();
        if (fds[1].revents & POLLIN) {
            const int client = accept(m_listener, nullptr, nullptr);
            const int server = client >= 0 ? connectTo(m_targetPort) : -1;
            if (server >= 0) {
                const int one = 1;
                setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                Pair& pair = pairs.emplace_back();
                pair.up = {client, server, {}, now + whole + half, false, false};
                pair.down = {server, client, {}, now, false, false};
                ++m_connections;
            } else if (client >= 0) {
                close(client);
            }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Lane& lane = *lanes[i - 2];
            char buffer[65536];
            const ssize_t n = recv(lane.from, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            // In order, and never before half a round trip (after the handshake's for the first).
            lane.lastDue = std::max(lane.lastDue, now + half);
            lane.waiting.push_back({lane.lastDue, n > 0 ? std::string(buffer, size_t(n)) : ""});
            Pair& pair = *pairOf[i - 2];
            if (n > 0 && &lane == &pair.up && !pair.carriedRequest) {
                pair.sent.take(buffer, size_t(n));
                if (pair.sent.applicationData > 1) {
                    pair.carriedRequest = true;
                    ++m_carryingRequests;
                }
            }
            if (n <= 0)
                lane.readClosed = true;
        }
        for (auto it = pairs.begin(); it != pairs.end();) {
            flush(it->up, now);
            flush(it->down, now);
            if (it->done() || (it->up.readClosed && it->down.readClosed && it->up.waiting.empty() &&
                               it->down.waiting.empty())) {
                close(it->up.from);
                close(it->up.to);
                it = pairs.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (Pair& pair : pairs) {
        close(pair.up.from);
        close(pair.up.to);
    }
}
