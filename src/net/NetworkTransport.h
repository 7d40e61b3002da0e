#pragma once

#include "ApiTransport.h"

#include <QObject>
#include <QString>

#include <functional>

class QNetworkAccessManager;

// Sends the client's requests over HTTPS with one QNetworkAccessManager, so TLS connections are
// reused: a transfer time-out, no cookies, no redirects followed, and certificate errors ignored
// only where the trust rule allows it for the host saved at that moment.
class NetworkTransport : public QObject, public ApiTransport
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 30000;
    static constexpr char TimedOutDescription[] = "The request timed out.";

    // savedHost tells the host the user saved, read at each certificate decision.
    explicit NetworkTransport(std::function<QString()> savedHost, QObject* parent = nullptr);
    ~NetworkTransport() override;

    TransportCall* post(const QUrl& url, const QByteArray& body) override;

    void setTransferTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int transferTimeout() const { return m_timeoutMs; }
    int requestsInFlight() const { return m_inFlight; }

signals:
    // True when the first request starts, false when the last one in flight has ended.
    void busyChanged(bool busy);

private:
    void dropConnectionsIfHostChanged();
    void requestEnded();

    QNetworkAccessManager* m_manager;
    std::function<QString()> m_savedHost;
    QString m_lastSavedHost;
    int m_timeoutMs = DefaultTimeoutMs;
    int m_inFlight = 0;
};
