#pragma once

#include "ApiTransport.h"
#include "Limits.h"
#include "NetworkWorker.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

class ServerTrust;

// Sends the client's requests over HTTPS. The exchanges themselves run on a thread of its own
// (NetworkWorker), so that the handshakes and the bodies of requests never wait for the main
// thread while it builds or paints the window; answers reach their callers on the main thread.
class NetworkTransport : public QObject, public ApiTransport
{
    Q_OBJECT
public:
    explicit NetworkTransport(ServerTrust& trust, QObject* parent = nullptr);
    ~NetworkTransport() override;

    TransportCall* post(const QUrl& url, const QByteArray& body, Resend resend) override;
    void openConnections(const QUrl& url, int count) override;
    ServerTrust* serverTrust() const override { return &m_trust; }

    // Tests shorten these; the defaults are in Limits.
    void setTransferTimeout(int milliseconds) { m_limits.transferTimeoutMs = milliseconds; }
    void setRequestDeadline(int milliseconds) { m_limits.deadlineMs = milliseconds; }
    void setMaxAnswerBytes(qint64 bytes) { m_limits.maxAnswerBytes = bytes; }

signals:
    // True when the first request starts, false when the last one in flight has ended.
    void busyChanged(bool busy);

private:
    void dropOldConnections();
    void dropConnectionsWhenIdle();
    void ended(quint64 id, const ApiAnswer& answer);

    ServerTrust& m_trust;
    QThread m_thread;
    NetworkWorker* m_worker;
    NetworkWorker::RequestLimits m_limits{Limits::IdleTimeoutMs, Limits::RequestDeadlineMs,
                                          Limits::MaxAnswerBytes};
    QHash<quint64, QPointer<TransportCall>> m_calls; // in flight
    quint64 m_lastId = 0;
    QString m_lastSavedHost;
    bool m_dropWhenIdle = false;
};
