#include "Engine.h"

#include "Console.h"
#include "Localization.h"

#include <QFile>

#include <utility>

namespace {
QByteArray readSystemFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Interface names come out of the routing tables; one that could climb out of /sys/class/net is
// treated as absent rather than followed.
bool isPlainInterfaceName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

RouteTable::InterfaceState readInterfaceState(const QString& name)
{
    if (!isPlainInterfaceName(name))
        return {};
    const QString directory = QStringLiteral("/sys/class/net/%1/").arg(name);
    bool ok = false;
    const quint32 flags =
        readSystemFile(directory + QLatin1String("flags")).trimmed().toUInt(&ok, 0);
    if (!ok)
        return {};
    return {flags, readSystemFile(directory + QLatin1String("operstate")).trimmed()};
}
} // namespace

Engine::TableReader Engine::systemTables()
{
    return {[] { return readSystemFile(QStringLiteral("/proc/net/route")); },
            [] { return readSystemFile(QStringLiteral("/proc/net/ipv6_route")); },
            &readInterfaceState};
}

Engine::Engine() : m_tables(systemTables()) {}

Engine::Engine(TableReader tables) : m_tables(std::move(tables)) {}

bool Engine::connectedToNetwork() const
{
    return RouteTable::hasDefaultRoute(m_tables.ipv4Routes(), m_tables.ipv6Routes(),
                                       m_tables.interfaceState);
}

bool Engine::warnIfOffline() const
{
    const bool connected = connectedToNetwork();
    if (!connected) {
        Console::print(Localization::text(Localization::NetworkConnectionRequired));
        Console::print(QLatin1String(OfflineLine));
    }
    return connected;
}
