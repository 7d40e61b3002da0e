#pragma once

#include <atomic>
#include <thread>

// A TCP proxy on loopback that makes the link to a local server as slow as a real one: each
// chunk is passed on half a round trip after it arrived, in each direction and in order, and a
// new connection's first bytes wait one round trip more, for the TCP handshake a real link costs
// before the client may send. It runs on a thread of its own, so the process it serves does not
// slow it down.
class LatencyProxy
{
public:
    LatencyProxy(int targetPort, int roundTripMs);
    ~LatencyProxy();
    LatencyProxy(const LatencyProxy&) = delete;
    LatencyProxy& operator=(const LatencyProxy&) = delete;

    // 0 when it could not listen.
    int port() const { return m_port; }
    // Connections accepted since the last call.
    int takeConnections() { return m_connections.exchange(0); }
    // Connections on which the client sent a request after its TLS 1.3 handshake, since the
    // last call.
    int takeConnectionsCarryingRequests() { return m_carryingRequests.exchange(0); }

private:
    void run();

    int m_targetPort;
    int m_roundTripMs;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<int> m_carryingRequests{0};
    std::thread m_thread;
};
