#pragma once

#include <QString>
#include <QUrl>

// The server's address as the user saved it: a host (a DNS name, IDN allowed, an IPv4 address
// or a bracketed IPv6 address, each with an optional port) and a path in front of "/api/". The
// request URL is built from the parts with QUrl's setters, never by joining text, so no saved
// value can move the request to another host.
class ServerAddress
{
public:
    struct Composed
    {
        Composed(QUrl validUrl = {}, QString whyNot = {});
        // An address given whole (tools and tests): it must parse as an https URL with a host.
        Composed(const QString& urlText);

        QUrl url;        // valid only when problem is empty
        QString problem; // which field breaks which rule, for the user
    };

    // Why the host cannot be used, or empty. Surrounding white space is ignored.
    static QString hostProblem(const QString& host);
    // Empty is fine; otherwise it starts with "/" and holds no "@", "?", "#", "\", white space
    // or control character.
    static QString pathProblem(const QString& path);

    static Composed compose(const QString& host, const QString& path, const QString& script);

private:
    struct HostParts
    {
        QString name; // without brackets
        int port = -1;
        QString problem;
    };
    static HostParts split(const QString& host);
    static bool isDnsName(const QString& name);
};
