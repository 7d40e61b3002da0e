#pragma once

#include <QString>
#include <QUrl>

// Decides whether certificate errors of a TLS connection may be ignored: only when the connection
// goes to the host the user saved. Host names compare without regard to case (as DNS does); a
// saved host with a port ("localhost:8443") must match host and port, a saved host without one
// matches that host on any port.
class TrustRule
{
public:
    static bool acceptsUnverified(const QString& savedHost, const QUrl& url);
};
