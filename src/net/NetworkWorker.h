#pragma once

#include "ApiAnswer.h"
#include "ServerTrust.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSslError;

// The network side of NetworkTransport, on a thread of its own: one QNetworkAccessManager, so
// TLS connections are reused, over HTTP/1.1 (see makeRequest), with an idle time-out, a
// deadline for the whole request, a cap on the answer's size, no cookies and no redirects
// followed. Each certificate is judged by the server trust records as NetworkTransport copied
// them, so a handshake never waits for the main thread; what it changes in the records is done
// there afterwards. Every function runs on the worker's thread.
class NetworkWorker : public QObject
{
    Q_OBJECT
public:
    static constexpr char TimedOutDescription[] = "The request timed out.";
    static constexpr char ClosedUnansweredDescription[] =
        "The connection closed before the answer, and the request was not sent again.";

    struct RequestLimits
    {
        int transferTimeoutMs = 0;
        int deadlineMs = 0;
        qint64 maxAnswerBytes = 0;
    };

    explicit NetworkWorker(ServerTrust& trust);
    ~NetworkWorker() override;

    // A request that may not be resent is sent at most once, even when the connection closes
    // before its answer.
    void start(quint64 id, const QUrl& url, const QByteArray& body, bool mayResend,
               const RequestLimits& limits);
    void abort(quint64 id);
    void openConnections(const QString& host, quint16 port, int count);
    // Stops Qt's HTTP thread: only while no request is in flight.
    void dropConnections();

signals:
    // Once for every request started, aborted ones too.
    void ended(quint64 id, const ApiAnswer& answer);

private:
    void watchLimits(QNetworkReply* reply, const std::shared_ptr<QByteArray>& body,
                     const RequestLimits& limits);
    void certificateUnverified(QNetworkReply* reply, const QList<QSslError>& errors);
    void handshakeDone(QNetworkReply* reply);
    void applyLater(const ServerTrust::Verdict& verdict);

    QNetworkAccessManager* m_manager;
    ServerTrust& m_trust;
    QHash<quint64, QNetworkReply*> m_replies;
    QSet<QString> m_ignoredKeys; // server + key of certificates accepted without verification
    QHash<QString, QString> m_refusals; // server: why its last handshake was refused
};
