#pragma once

#include "ApiTransport.h"
#include "Limits.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSslError;
class ServerTrust;

// Sends the client's requests over HTTPS with one QNetworkAccessManager, so TLS connections are
// reused, over HTTP/1.1 (see makeRequest): an idle time-out, a deadline for the whole request, a
// cap on the answer's size, no cookies, no redirects followed. Each certificate goes to the server
// trust records: one that does not verify is used only where they allow it, decided before anything
// is sent.
class NetworkTransport : public QObject, public ApiTransport
{
    Q_OBJECT
public:
    static constexpr char TimedOutDescription[] = "The request timed out.";
    static constexpr char ClosedUnansweredDescription[] =
        "The connection closed before the answer, and the request was not sent again.";

    explicit NetworkTransport(ServerTrust& trust, QObject* parent = nullptr);
    ~NetworkTransport() override;

    TransportCall* post(const QUrl& url, const QByteArray& body, Resend resend) override;
    void openConnections(const QUrl& url, int count) override;
    ServerTrust* serverTrust() const override { return &m_trust; }

    // Tests shorten these; the defaults are in Limits.
    void setTransferTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    void setRequestDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    void setMaxAnswerBytes(qint64 bytes) { m_maxAnswerBytes = bytes; }

signals:
    // True when the first request starts, false when the last one in flight has ended.
    void busyChanged(bool busy);

private:
    void dropOldConnections();
    void dropConnectionsWhenIdle();
    void watchLimits(QNetworkReply* reply, const std::shared_ptr<QByteArray>& body);
    void certificateUnverified(QNetworkReply* reply, const QList<QSslError>& errors);
    void handshakeDone(QNetworkReply* reply);
    void requestEnded();

    QNetworkAccessManager* m_manager;
    ServerTrust& m_trust;
    QString m_lastSavedHost;
    int m_timeoutMs = Limits::IdleTimeoutMs;
    int m_deadlineMs = Limits::RequestDeadlineMs;
    qint64 m_maxAnswerBytes = Limits::MaxAnswerBytes;
    int m_inFlight = 0;
    bool m_dropWhenIdle = false;
    QSet<QString> m_ignoredKeys; // server + key of certificates accepted without verification
    QHash<QString, QString> m_refusals; // server: why its last handshake was refused
};
