#include "RouteTable.h"

#include <optional>

namespace {
constexpr quint32 RouteUp = 0x0001;     // RTF_UP
constexpr quint32 RouteReject = 0x0200; // RTF_REJECT
constexpr quint32 InterfaceUp = 0x1;    // IFF_UP
constexpr quint32 InterfaceLoop = 0x8;  // IFF_LOOPBACK
constexpr char LoopbackName[] = "lo";

// A fixed-width hexadecimal field, as the kernel prints them; anything else is not a route line.
std::optional<quint32> hexField(const QByteArray& field, qsizetype width)
{
    if (field.size() != width)
        return std::nullopt;
    bool ok = false;
    const quint32 value = field.toUInt(&ok, 16);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

bool isAllZeroHex(const QByteArray& field, qsizetype width)
{
    return field.size() == width && field.count('0') == width;
}
} // namespace

bool RouteTable::hasDefaultRoute(const QByteArray& ipv4RouteTable, const QByteArray& ipv6RouteTable,
                                 const InterfaceLookup& interfaceState)
{
    return anyDefaultRoute(ipv4RouteTable, &RouteTable::ipv4DefaultRouteIface, interfaceState) ||
           anyDefaultRoute(ipv6RouteTable, &RouteTable::ipv6DefaultRouteIface, interfaceState);
}

bool RouteTable::isUsable(const InterfaceState& state)
{
    if (!(state.flags & InterfaceUp) || (state.flags & InterfaceLoop))
        return false;
    const QByteArray operState = state.operState.trimmed();
    return operState.isEmpty() || operState == "up" || operState == "unknown";
}

bool RouteTable::anyDefaultRoute(const QByteArray& table,
                                 const std::function<QString(const QList<QByteArray>&)>& routeIface,
                                 const InterfaceLookup& interfaceState)
{
    const QList<QByteArray> lines = table.split('\n');
    for (const QByteArray& line : lines) {
        const QString iface = routeIface(line.simplified().split(' '));
        if (!iface.isEmpty() && iface != QLatin1String(LoopbackName) &&
            isUsable(interfaceState(iface)))
            return true;
    }
    return false;
}

// Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT; the header line fails
// the hex checks like any other line that is not a route.
QString RouteTable::ipv4DefaultRouteIface(const QList<QByteArray>& fields)
{
    if (fields.size() < 8)
        return {};
    const auto destination = hexField(fields.at(1), 8);
    const auto flags = hexField(fields.at(3), 4);
    const auto mask = hexField(fields.at(7), 8);
    if (!destination || !flags || !mask || *destination != 0 || *mask != 0 || !isRouteUp(*flags))
        return {};
    return QString::fromLatin1(fields.at(0));
}

// dest dest_prefixlen src src_prefixlen next_hop metric refcnt use flags iface
QString RouteTable::ipv6DefaultRouteIface(const QList<QByteArray>& fields)
{
    if (fields.size() != 10)
        return {};
    const auto prefixLength = hexField(fields.at(1), 2);
    const auto flags = hexField(fields.at(8), 8);
    if (!isAllZeroHex(fields.at(0), 32) || !prefixLength || *prefixLength != 0 || !flags ||
        !isRouteUp(*flags))
        return {};
    return QString::fromLatin1(fields.at(9));
}

bool RouteTable::isRouteUp(quint32 flags)
{
    return (flags & RouteUp) && !(flags & RouteReject);
}
