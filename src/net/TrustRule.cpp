#include "TrustRule.h"

namespace {
struct HostAndPort
{
    QString host;
    int port = -1; // -1: no port given
    bool valid = false;
};

// Splits "name", "name:port", "[v6]" or "[v6]:port" as a user would type it in the host field.
HostAndPort splitSavedHost(const QString& saved)
{
    if (saved.isEmpty())
        return {};
    QUrl probe;
    probe.setAuthority(saved, QUrl::StrictMode);
    if (!probe.isValid() || probe.host().isEmpty() || !probe.userInfo().isEmpty())
        return {};
    return {probe.host(), probe.port(-1), true};
}
} // namespace

bool TrustRule::acceptsUnverified(const QString& savedHost, const QUrl& url)
{
    const HostAndPort saved = splitSavedHost(savedHost);
    if (!saved.valid || url.scheme() != QLatin1String("https"))
        return false;
    if (url.host().compare(saved.host, Qt::CaseInsensitive) != 0)
        return false;
    return saved.port == -1 || url.port(443) == saved.port;
}
