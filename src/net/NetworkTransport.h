#pragma once

#include "ApiTransport.h"
#include "Limits.h"

#include <QObject>
#include <QString>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Sends the client's requests over HTTPS with one QNetworkAccessManager, so TLS connections are
// reused: an idle time-out, a deadline for the whole request, a cap on the answer's size, no
// cookies, no redirects followed, and certificate errors ignored only where the trust rule
// allows it for the host saved at that moment.
class NetworkTransport : public QObject, public ApiTransport
{
    Q_OBJECT
public:
    static constexpr char TimedOutDescription[] = "The request timed out.";
    static constexpr char ClosedUnansweredDescription[] =
        "The connection closed before the answer, and the request was not sent again.";

    // savedHost tells the host the user saved, read at each certificate decision.
    explicit NetworkTransport(std::function<QString()> savedHost, QObject* parent = nullptr);
    ~NetworkTransport() override;

    TransportCall* post(const QUrl& url, const QByteArray& body, Resend resend) override;

    // Tests shorten these; the defaults are in Limits.
    void setTransferTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    void setRequestDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    void setMaxAnswerBytes(qint64 bytes) { m_maxAnswerBytes = bytes; }

signals:
    // True when the first request starts, false when the last one in flight has ended.
    void busyChanged(bool busy);

private:
    void dropConnectionsIfHostChanged();
    void watchLimits(QNetworkReply* reply);
    void requestEnded();

    QNetworkAccessManager* m_manager;
    std::function<QString()> m_savedHost;
    QString m_lastSavedHost;
    int m_timeoutMs = Limits::IdleTimeoutMs;
    int m_deadlineMs = Limits::RequestDeadlineMs;
    qint64 m_maxAnswerBytes = Limits::MaxAnswerBytes;
    int m_inFlight = 0;
};
