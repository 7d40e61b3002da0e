#pragma once

#include <QByteArray>
#include <QList>

#include <optional>
#include <utility>

class QTcpSocket;

// One HTTP/1.1 answer, written straight to the connection. The server writes the bytes itself
// rather than through QHttpServerResponder so that it decides every header: a reply may carry
// no Content-Type at all, and a "Connection: close" request gets its connection closed.
class HttpReply
{
public:
    static HttpReply json(const QByteArray& body);
    static HttpReply xml(const QByteArray& body);
    static HttpReply plain(int status, const QByteArray& body);

    int status = 200;
    std::optional<QByteArray> contentType; // no header at all when empty
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> extraHeaders;

    QByteArray serialize(bool closeConnection) const;
    void sendTo(QTcpSocket* socket, bool closeConnection) const;

    static QByteArray reasonPhrase(int status);
};
