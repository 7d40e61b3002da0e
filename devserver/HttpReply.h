#pragma once

#include <QByteArray>
#include <QList>

#include <optional>
#include <utility>

// One HTTP/1.1 answer, written straight to the connection by ReplyWriter. The server writes the
// bytes itself rather than through QHttpServerResponder so that it decides every header: a reply
// may carry no Content-Type at all, and a "Connection: close" request gets its connection closed.
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
    // When not negative, the body sent is this many bytes of `body` (which must not be empty)
    // repeated over and over, made piece by piece while they are written.
    qint64 repeatedLength = -1;

    qint64 bodySize() const;
    QByteArray head(bool closeConnection) const;
    // The bytes of the body as sent from offset on, at most count of them.
    QByteArray bodyBytes(qint64 offset, qint64 count) const;

    static QByteArray reasonPhrase(int status);
};
