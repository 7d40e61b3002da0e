#include "RequestLog.h"

#include <QJsonObject>

void RequestLog::record(const IncomingRequest& request, const QString& script,
                        const QString& action)
{
    m_entries.append(QJsonObject{
        {QStringLiteral("method"), QString::fromLatin1(request.method)},
        {QStringLiteral("path"), request.path},
        {QStringLiteral("script"), script},
        {QStringLiteral("action"), action},
        {QStringLiteral("body"), QString::fromUtf8(request.body)},
        {QStringLiteral("contentType"), QString::fromUtf8(request.contentType)},
        {QStringLiteral("cookie"), QString::fromUtf8(request.cookie)},
    });
}

QJsonArray RequestLog::toJson() const
{
    return m_entries;
}

void RequestLog::clear()
{
    m_entries = QJsonArray();
}
