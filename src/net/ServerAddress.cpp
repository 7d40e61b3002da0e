#include "ServerAddress.h"

#include "ServerContract.h"

#include <QHostAddress>
#include <QRegularExpression>

#include <algorithm>

namespace {
QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Digits only, 1 to 65535; -1 when it is not a port.
int portNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(text).hasMatch())
        return -1;
    const int port = text.toInt();
    return port >= 1 && port <= 65535 ? port : -1;
}
} // namespace

ServerAddress::Composed::Composed(QUrl validUrl, QString whyNot)
    : url(std::move(validUrl)), problem(std::move(whyNot))
{
}

ServerAddress::Composed::Composed(const QString& urlText) : url(urlText, QUrl::StrictMode)
{
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty()) {
        url = QUrl();
        problem = QStringLiteral("%1 is no https address").arg(quoted(urlText));
    }
}

ServerAddress::HostParts ServerAddress::split(const QString& typed)
{
    const QString host = typed.trimmed();
    if (host.isEmpty())
        return {{}, -1, QStringLiteral("the host is empty")};
    HostParts parts;
    QString portText;
    bool hasPort = false;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        parts.name = host.mid(1, close - 1);
        const QString rest = close < 0 ? QString() : host.mid(close + 1);
        if (close < 0 || QHostAddress(parts.name).protocol() != QAbstractSocket::IPv6Protocol ||
            (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))))
            return {
                {}, -1, QStringLiteral("the host %1 is no valid IPv6 address").arg(quoted(host))};
        hasPort = !rest.isEmpty();
        portText = rest.mid(1);
    } else {
        if (host.count(QLatin1Char(':')) > 1)
            return {{},
                    -1,
                    QStringLiteral("the host %1 is an IPv6 address without brackets")
                        .arg(quoted(host))};
        const qsizetype colon = host.indexOf(QLatin1Char(':'));
        hasPort = colon >= 0;
        parts.name = hasPort ? host.left(colon) : host;
        portText = hasPort ? host.mid(colon + 1) : QString();
        static const QRegularExpression dotted(QStringLiteral("^[0-9.]+$"));
        const bool looksLikeIpv4 = dotted.match(parts.name).hasMatch();
        if (looksLikeIpv4 ? QHostAddress(parts.name).protocol() != QAbstractSocket::IPv4Protocol ||
                                parts.name.count(QLatin1Char('.')) != 3
                          : !isDnsName(parts.name))
            return {{}, -1, QStringLiteral("the host %1 is no valid host name").arg(quoted(host))};
    }
    if (hasPort) {
        parts.port = portNumber(portText);
        if (parts.port < 0)
            return {{},
                    -1,
                    QStringLiteral("the port of the host %1 is not a number from 1 to 65535")
                        .arg(quoted(host))};
    }
    return parts;
}

// Labels of letters, digits and hyphens (after IDN conversion), 1 to 63 characters each, not
// starting or ending with a hyphen; 253 characters in all.
bool ServerAddress::isDnsName(const QString& name)
{
    const QByteArray ace = QUrl::toAce(name);
    if (ace.isEmpty() || ace.size() > 253)
        return false;
    static const QRegularExpression label(
        QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    const QList<QByteArray> labels = ace.split('.');
    return std::all_of(labels.cbegin(), labels.cend(), [](const QByteArray& part) {
        return label.match(QString::fromLatin1(part)).hasMatch();
    });
}

QString ServerAddress::hostProblem(const QString& host)
{
    return split(host).problem;
}

QString ServerAddress::pathProblem(const QString& path)
{
    if (path.isEmpty())
        return {};
    if (!path.startsWith(QLatin1Char('/')))
        return QStringLiteral("the path %1 does not start with \"/\"").arg(quoted(path));
    for (const QChar c : path) {
        if (c == u'@' || c == u'?' || c == u'#' || c == u'\\' || c.isSpace() ||
            c.category() == QChar::Other_Control)
            return QStringLiteral("the path %1 holds \"@\", \"?\", \"#\", \"\\\", white space or "
                                  "a control character")
                .arg(quoted(path));
    }
    return {};
}

ServerAddress::Composed ServerAddress::compose(const QString& host, const QString& path,
                                               const QString& script)
{
    const HostParts parts = split(host);
    if (!parts.problem.isEmpty())
        return {{}, parts.problem};
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return {{}, problem};
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(parts.name, QUrl::StrictMode);
    url.setPort(parts.port);
    url.setPath(path + QLatin1String(ServerContract::ApiDirectory) + script, QUrl::DecodedMode);
    // The host the request goes to is the saved one, as QUrl normalises it (lower case, ACE).
    QUrl saved;
    saved.setHost(parts.name, QUrl::StrictMode);
    if (!url.isValid() || url.host(QUrl::FullyEncoded) != saved.host(QUrl::FullyEncoded))
        return {{}, QStringLiteral("the host %1 is no valid host name").arg(quoted(host))};
    return {url, {}};
}
