#include "ReplyWriter.h"

#include <QSslSocket>

namespace {
constexpr qint64 BlockSize = 64 * 1024;
}

void ReplyWriter::start(QTcpSocket* socket, const HttpReply& reply, bool closeConnection,
                        int bytesPerSecond, Finished finished)
{
    auto* writer =
        new ReplyWriter(socket, reply, closeConnection, bytesPerSecond, std::move(finished));
    writer->pump();
}

ReplyWriter::ReplyWriter(QTcpSocket* socket, const HttpReply& reply, bool closeConnection,
                         int bytesPerSecond, Finished finished)
    : QObject(socket), m_socket(socket), m_reply(reply), m_head(reply.head(closeConnection)),
      m_total(m_head.size() + reply.bodySize()), m_closeConnection(closeConnection),
      m_bytesPerSecond(bytesPerSecond), m_finished(std::move(finished))
{
    connect(socket, &QIODevice::bytesWritten, this, &ReplyWriter::pump);
    if (auto* tls = qobject_cast<QSslSocket*>(socket))
        connect(tls, &QSslSocket::encryptedBytesWritten, this, &ReplyWriter::pump);
    connect(socket, &QAbstractSocket::disconnected, this, &ReplyWriter::pump);
    if (m_bytesPerSecond > 0) {
        m_clock.start();
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(qMax(1, 1000 / m_bytesPerSecond));
        connect(&m_tick, &QTimer::timeout, this, &ReplyWriter::pump);
        m_tick.start();
    }
}

void ReplyWriter::pump()
{
    if (!m_finished)
        return;
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        finish(false);
        return;
    }
    qint64 allowed = BlockSize - waiting();
    if (m_bytesPerSecond > 0) // byte n (from 0) is due n / rate seconds after the start
        allowed = qMin(allowed, m_clock.elapsed() * m_bytesPerSecond / 1000 + 1 - m_written);
    if (allowed > 0)
        m_socket->write(next(allowed));
    if (m_written < m_total)
        return;
    QTcpSocket* const socket = m_socket;
    finish(true);
    if (m_closeConnection)
        socket->disconnectFromHost();
}

// The bytes written but not yet sent: a TLS socket moves what it encrypts out of its own buffer
// into the plain socket's, so both count.
qint64 ReplyWriter::waiting() const
{
    const auto* tls = qobject_cast<const QSslSocket*>(m_socket.data());
    return m_socket->bytesToWrite() + (tls ? tls->encryptedBytesToWrite() : 0);
}

QByteArray ReplyWriter::next(qint64 count)
{
    QByteArray bytes;
    if (m_written < m_head.size())
        bytes = m_head.mid(qsizetype(m_written), qsizetype(count));
    bytes += m_reply.bodyBytes(m_written + bytes.size() - m_head.size(), count - bytes.size());
    m_written += bytes.size();
    return bytes;
}

void ReplyWriter::finish(bool written)
{
    if (!m_finished)
        return;
    m_tick.stop();
    if (m_socket)
        disconnect(m_socket, nullptr, this, nullptr);
    const Finished finished = std::move(m_finished);
    m_finished = nullptr;
    finished(written);
    deleteLater();
}
