#pragma once

#include "HttpReply.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QTcpSocket;

// Writes one answer to a connection. At full speed it keeps at most a block of the answer
// waiting in the socket and adds the next block as the connection takes the bytes, so a large
// body is never held whole; with a rate it trickles the answer, head included, a byte at a time.
class ReplyWriter : public QObject
{
    Q_OBJECT

public:
    // Called once, with true after the last byte went to the connection, or with false when the
    // connection went away first.
    using Finished = std::function<void(bool written)>;

    // bytesPerSecond 0 means full speed. A small answer at full speed is written before this
    // returns. The writer belongs to the socket and goes with it.
    static void start(QTcpSocket* socket, const HttpReply& reply, bool closeConnection,
                      int bytesPerSecond, Finished finished);

private:
    ReplyWriter(QTcpSocket* socket, const HttpReply& reply, bool closeConnection,
                int bytesPerSecond, Finished finished);

    void pump();
    qint64 waiting() const;
    QByteArray next(qint64 count);
    void finish(bool written);

    QPointer<QTcpSocket> m_socket;
    HttpReply m_reply;
    QByteArray m_head;
    qint64 m_total = 0;
    qint64 m_written = 0;
    bool m_closeConnection = false;
    int m_bytesPerSecond = 0;
    Finished m_finished;
    QElapsedTimer m_clock;
    QTimer m_tick;
};
