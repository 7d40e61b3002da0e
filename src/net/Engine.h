#pragma once

#include "RouteTable.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Answers whether the computer is on a network before the client tries to reach the server. The
// answer comes from the kernel's routing tables alone: nothing is contacted and nothing is cached,
// so every question sees the network as it is now.
class Engine
{
public:
    // Where the routing tables and interface states come from. Each reader answers an empty text
    // (or a zero state) when its source cannot be read.
    struct TableReader
    {
        std::function<QByteArray()> ipv4Routes;
        std::function<QByteArray()> ipv6Routes;
        RouteTable::InterfaceLookup interfaceState;
    };

    // Reads /proc/net/route, /proc/net/ipv6_route and /sys/class/net/<interface>/.
    static TableReader systemTables();

    Engine();
    explicit Engine(TableReader tables);

    bool connectedToNetwork() const;

    // What a window prints when it appears offline: the localized notice, then OfflineLine.
    bool warnIfOffline() const;
    static constexpr char OfflineLine[] = "network connection unavailable";

private:
    TableReader m_tables;
};
