#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// Decides from the kernel's routing tables whether this computer can reach beyond itself: a
// default route that is up, not a reject route, on an interface that is up and not loopback.
// Works on the tables' text only, so the rule can be checked against captured tables.
class RouteTable
{
public:
    // What the kernel reports about one network interface: its flags word (IFF_*) and its
    // operational state ("up", "down", "unknown", ...). A missing interface has flags 0.
    struct InterfaceState
    {
        quint32 flags = 0;
        QByteArray operState;
    };
    using InterfaceLookup = std::function<InterfaceState(const QString& name)>;

    // ipv4RouteTable is the text of /proc/net/route, ipv6RouteTable that of /proc/net/ipv6_route.
    static bool hasDefaultRoute(const QByteArray& ipv4RouteTable, const QByteArray& ipv6RouteTable,
                                const InterfaceLookup& interfaceState);

    // Up by its flags and not loopback; an operational state of "unknown" (or an unreadable one)
    // is trusted to the flags, since tunnels and other virtual interfaces report nothing better.
    static bool isUsable(const InterfaceState& state);

private:
    static bool anyDefaultRoute(const QByteArray& table,
                                const std::function<QString(const QList<QByteArray>&)>& routeIface,
                                const InterfaceLookup& interfaceState);
    static QString ipv4DefaultRouteIface(const QList<QByteArray>& fields);
    static QString ipv6DefaultRouteIface(const QList<QByteArray>& fields);
    static bool isRouteUp(quint32 flags);
};
