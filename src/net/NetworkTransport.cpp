#include "NetworkTransport.h"

#include "TransportCall.h"
#include "TrustRule.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QSslError>
#include <QTimer>

#include <utility>

namespace {
// The session travels in the request body only: a jar that never keeps or hands out a cookie.
class NoCookieJar : public QNetworkCookieJar
{
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};

QNetworkRequest makeRequest(const QUrl& url, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    return request;
}

constexpr char AbortReasonProperty[] = "notesAbortReason";

void abortFor(QNetworkReply* reply, const QString& reason)
{
    if (!reply->isRunning())
        return;
    reply->setProperty(AbortReasonProperty, reason);
    reply->abort();
}

// A reply aborted by its caller is never read, so OperationCanceledError here is one of this
// transport's own limits, or else Qt's idle time-out.
ApiAnswer answerOf(QNetworkReply* reply)
{
    ApiAnswer answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    answer.statusCode = status.isValid() ? status.toInt() : 0;
    if (reply->error() != QNetworkReply::NoError) {
        answer.transportFailed = true;
        const QString reason = reply->property(AbortReasonProperty).toString();
        answer.errorDescription = !reason.isEmpty() ? reason
                                  : reply->error() == QNetworkReply::OperationCanceledError
                                      ? QString::fromLatin1(NetworkTransport::TimedOutDescription)
                                      : reply->errorString();
        return answer;
    }
    answer.hasContentType = reply->hasRawHeader("Content-Type");
    answer.contentType = reply->rawHeader("Content-Type");
    answer.body = reply->readAll();
    return answer;
}
} // namespace

NetworkTransport::NetworkTransport(std::function<QString()> savedHost, QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_savedHost(std::move(savedHost))
{
    m_manager->setCookieJar(new NoCookieJar(m_manager));
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

NetworkTransport::~NetworkTransport() = default;

TransportCall* NetworkTransport::post(const QUrl& url, const QByteArray& body)
{
    dropConnectionsIfHostChanged();
    QNetworkReply* reply = m_manager->post(makeRequest(url, m_timeoutMs), body);
    if (++m_inFlight == 1)
        emit busyChanged(true);
    connect(reply, &QObject::destroyed, this, &NetworkTransport::requestEnded);
    watchLimits(reply);
    connect(reply, &QNetworkReply::sslErrors, reply, [this, reply](const QList<QSslError>&) {
        if (TrustRule::acceptsUnverified(m_savedHost(), reply->url()))
            reply->ignoreSslErrors();
    });

    auto* call = new TransportCall([reply]() {
        reply->abort();
        reply->deleteLater();
    });
    // Queued, so that even an answer produced at once reaches the caller only after this call
    // has returned.
    connect(
        reply, &QNetworkReply::finished, call,
        [reply, call]() {
            const ApiAnswer answer = answerOf(reply);
            reply->deleteLater();
            call->deliver(answer);
        },
        Qt::QueuedConnection);
    return call;
}

// The answer is counted as it arrives (nothing is read before it is complete), and a server that
// trickles bytes forever still meets the deadline.
void NetworkTransport::watchLimits(QNetworkReply* reply)
{
    const qint64 maxBytes = m_maxAnswerBytes;
    connect(reply, &QNetworkReply::readyRead, reply, [reply, maxBytes]() {
        if (reply->bytesAvailable() > maxBytes)
            abortFor(reply, QStringLiteral("The answer is larger than %1 bytes.").arg(maxBytes));
    });
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    const int deadlineMs = m_deadlineMs;
    connect(deadline, &QTimer::timeout, reply, [reply, deadlineMs]() {
        abortFor(reply, QStringLiteral("No complete answer within %1 seconds.")
                            .arg(QString::number(deadlineMs / 1000.0)));
    });
    deadline->start(m_deadlineMs);
}

// A connection opened while another host was saved may have been trusted under the old rule;
// once the saved host changes, new requests must go through a fresh handshake.
void NetworkTransport::dropConnectionsIfHostChanged()
{
    const QString saved = m_savedHost();
    if (saved != m_lastSavedHost) {
        m_manager->clearConnectionCache();
        m_lastSavedHost = saved;
    }
}

void NetworkTransport::requestEnded()
{
    if (m_inFlight > 0 && --m_inFlight == 0)
        emit busyChanged(false);
}
