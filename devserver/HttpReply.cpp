#include "HttpReply.h"

#include <QTcpSocket>

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

QByteArray HttpReply::serialize(bool closeConnection) const
{
    QByteArray bytes =
        "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    if (contentType)
        bytes += "Content-Type: " + *contentType + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    for (const auto& [name, value] : extraHeaders)
        bytes += name + ": " + value + "\r\n";
    if (closeConnection)
        bytes += "Connection: close\r\n";
    return bytes + "\r\n" + body;
}

void HttpReply::sendTo(QTcpSocket* socket, bool closeConnection) const
{
    socket->write(serialize(closeConnection));
    if (closeConnection)
        socket->disconnectFromHost();
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
