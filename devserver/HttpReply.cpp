#include "HttpReply.h"

HttpReply HttpReply::json(const QByteArray& body)
{
    return HttpReply{200, QByteArrayLiteral("application/json"), body, {}};
}

HttpReply HttpReply::xml(const QByteArray& body)
{
    return HttpReply{200, QByteArrayLiteral("text/xml; charset=utf-8"), body, {}};
}

HttpReply HttpReply::plain(int status, const QByteArray& body)
{
    return HttpReply{status, QByteArrayLiteral("text/plain; charset=utf-8"), body, {}};
}

qint64 HttpReply::bodySize() const
{
    return repeatedLength >= 0 ? repeatedLength : body.size();
}

QByteArray HttpReply::head(bool closeConnection) const
{
    QByteArray bytes =
        "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    if (contentType)
        bytes += "Content-Type: " + *contentType + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(bodySize()) + "\r\n";
    for (const auto& [name, value] : extraHeaders)
        bytes += name + ": " + value + "\r\n";
    if (closeConnection)
        bytes += "Connection: close\r\n";
    return bytes + "\r\n";
}

QByteArray HttpReply::bodyBytes(qint64 offset, qint64 count) const
{
    const qint64 size = qMin(count, bodySize() - offset);
    if (size <= 0)
        return {};
    if (repeatedLength < 0)
        return body.mid(qsizetype(offset), qsizetype(size));
    QByteArray bytes;
    bytes.reserve(qsizetype(size));
    qsizetype at = qsizetype(offset % body.size());
    while (bytes.size() < size) {
        const QByteArrayView rest = QByteArrayView(body).sliced(at);
        bytes += rest.first(qMin(rest.size(), qsizetype(size - bytes.size())));
        at = 0;
    }
    return bytes;
}

QByteArray HttpReply::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return status < 400 ? "OK" : "Error";
    }
}
