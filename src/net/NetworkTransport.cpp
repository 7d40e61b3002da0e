#include "NetworkTransport.h"

#include "ServerTrust.h"
#include "TransportCall.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslError>
#include <QSslKey>
#include <QTimer>

#include <cstring>
#include <memory>
#include <optional>

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

// Every request is an HTTP/1.1 one. Qt keeps connections that may speak HTTP/2 apart from
// those that may not, and a connection opened ahead (openConnections) can only be of the
// second kind and still be used by several requests at once: an HTTP/2 one is a single
// connection, which on a server that answers in HTTP/1.1 would leave the other requests to
// open their own after the login.
QNetworkRequest makeRequest(const QUrl& url, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
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
constexpr char RefusalProperty[] = "notesRefusal";
constexpr char UnverifiedProperty[] = "notesUnverified";
constexpr char OpeningScheme[] =
    "preconnect-https"; // the URL scheme Qt gives a connection opened ahead

bool opensAhead(const QNetworkReply* reply)
{
    return reply->url().scheme() == QLatin1String(OpeningScheme);
}

// The server a handshake was made with, as an https URL also for a connection opened ahead.
QUrl serverUrl(const QNetworkReply* reply)
{
    QUrl url = reply->url();
    if (opensAhead(reply))
        url.setScheme(QStringLiteral("https"));
    return url;
}

QString keyOf(const QSslCertificate& certificate)
{
    return ServerTrust::fingerprint(certificate.publicKey().toDer());
}

void abortFor(QNetworkReply* reply, const QString& reason)
{
    if (!reply->isRunning())
        return;
    reply->setProperty(AbortReasonProperty, reason);
    reply->abort();
}

// A request body that can be read once and never rewound: Qt then cannot send the request a
// second time when the connection closes before an answer (it reports ContentReSendError).
class OneShotBody : public QIODevice
{
public:
    OneShotBody(QByteArray data, QObject* parent) : QIODevice(parent), m_data(std::move(data))
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return m_data.size() - m_read + QIODevice::bytesAvailable();
    }
    bool reset() override { return false; }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        const qint64 count = qMin(max, qint64(m_data.size()) - m_read);
        std::memcpy(out, m_data.constData() + m_read, size_t(count));
        m_read += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_read = 0;
};

// The length the server announced for its answer, when it announced one.
std::optional<qint64> announcedLength(QNetworkReply* reply)
{
    bool announced = false;
    const qint64 length =
        reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&announced);
    return announced && length >= 0 ? std::optional(length) : std::nullopt;
}

// Moves what has arrived of an answer out of Qt's buffers into the answer's own array, so the
// answer is held once while it comes in. An announced length (checked against the cap before)
// gets its room at once.
void takeArrived(QNetworkReply* reply, QByteArray& body)
{
    const qint64 available = reply->bytesAvailable();
    if (available <= 0)
        return;
    if (body.isEmpty()) {
        const std::optional<qint64> length = announcedLength(reply);
        if (length && *length > available)
            body.reserve(*length);
    }
    const qsizetype before = body.size();
    body.resize(before + available);
    const qint64 read = reply->read(body.data() + before, available);
    body.resize(before + std::max<qint64>(read, 0));
}

// A reply aborted by its caller is never read, so OperationCanceledError here is one of this
// transport's own limits, or else Qt's idle time-out.
ApiAnswer answerOf(QNetworkReply* reply, QByteArray& body)
{
    ApiAnswer answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    answer.statusCode = status.isValid() ? status.toInt() : 0;
    answer.retryAfter = reply->rawHeader("Retry-After");
    if (reply->error() != QNetworkReply::NoError) {
        answer.transportFailed = true;
        const QString refusal = reply->property(RefusalProperty).toString();
        if (!refusal.isEmpty()) {
            answer.errorDescription = refusal; // refused before anything was sent
            return answer;
        }
        const QString reason = reply->property(AbortReasonProperty).toString();
        const QNetworkReply::NetworkError error = reply->error();
        answer.errorDescription =
            !reason.isEmpty() ? reason
            : error == QNetworkReply::OperationCanceledError
                ? QString::fromLatin1(NetworkTransport::TimedOutDescription)
            : error == QNetworkReply::ContentReSendError
                ? QString::fromLatin1(NetworkTransport::ClosedUnansweredDescription)
                : reply->errorString();
        // Failures after the request went out; before it, the server cannot have seen it.
        answer.maybeReceived = error == QNetworkReply::RemoteHostClosedError ||
                               error == QNetworkReply::ContentReSendError ||
                               error == QNetworkReply::OperationCanceledError ||
                               error == QNetworkReply::ProtocolFailure || status.isValid();
        return answer;
    }
    answer.hasContentType = reply->hasRawHeader("Content-Type");
    answer.contentType = reply->rawHeader("Content-Type");
    takeArrived(reply, body);
    answer.body = std::exchange(body, {});
    return answer;
}
} // namespace

NetworkTransport::NetworkTransport(ServerTrust& trust, QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_trust(trust)
{
    m_manager->setCookieJar(new NoCookieJar(m_manager));
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    connect(&m_trust, &ServerTrust::recordChanged, this, [this]() {
        m_dropWhenIdle = true;
        dropConnectionsWhenIdle();
    });
    // The manager's signals, not each reply's: a handshake is reported to whichever request
    // Qt pairs with the connection, which may be one opened ahead that no caller holds.
    connect(m_manager, &QNetworkAccessManager::sslErrors, this,
            &NetworkTransport::certificateUnverified);
    connect(m_manager, &QNetworkAccessManager::encrypted, this, &NetworkTransport::handshakeDone);
    connect(m_manager, &QNetworkAccessManager::finished, this, [](QNetworkReply* reply) {
        if (opensAhead(reply))
            reply->deleteLater();
    });
}

NetworkTransport::~NetworkTransport() = default;

// Qt opens a connection for each of these with the default TLS configuration, which is the
// requests' own. Until one is used it is not counted as busy; requests queued meanwhile take
// whichever connection is ready first.
void NetworkTransport::openConnections(const QUrl& url, int count)
{
    if (url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return;
    dropOldConnections();
    for (int i = 0; i < count; ++i)
        m_manager->connectToHostEncrypted(url.host(), quint16(url.port(443)));
}

TransportCall* NetworkTransport::post(const QUrl& url, const QByteArray& body, Resend resend)
{
    dropOldConnections();
    QNetworkRequest request = makeRequest(url, m_timeoutMs);
    QNetworkReply* reply = nullptr;
    if (resend == Resend::Never) {
        request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
        request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        auto* once = new OneShotBody(body, nullptr);
        reply = m_manager->post(request, once);
        once->setParent(reply);
    } else {
        reply = m_manager->post(request, body);
    }
    if (++m_inFlight == 1)
        emit busyChanged(true);
    connect(reply, &QObject::destroyed, this, &NetworkTransport::requestEnded);
    auto answerBody = std::make_shared<QByteArray>();
    watchLimits(reply, answerBody);

    auto* call = new TransportCall([reply]() {
        reply->abort();
        reply->deleteLater();
    });
    // Queued, so that even an answer produced at once reaches the caller only after this call
    // has returned. An aborted reply may be deleted before then; its call delivers nothing.
    connect(
        reply, &QNetworkReply::finished, call,
        [this, reply = QPointer<QNetworkReply>(reply), call, answerBody]() {
            if (!reply)
                return;
            // The handshake may have been refused while Qt had paired it with another request.
            if (reply->error() == QNetworkReply::SslHandshakeFailedError &&
                reply->property(RefusalProperty).toString().isEmpty())
                reply->setProperty(RefusalProperty,
                                   m_refusals.value(ServerTrust::serverOf(reply->url())));
            const ApiAnswer answer = answerOf(reply, *answerBody);
            reply->deleteLater();
            call->deliver(answer);
        },
        Qt::QueuedConnection);
    return call;
}

// The answer is read and counted as it arrives, and a server that trickles bytes forever still
// meets the deadline.
void NetworkTransport::watchLimits(QNetworkReply* reply, const std::shared_ptr<QByteArray>& body)
{
    const qint64 maxBytes = m_maxAnswerBytes;
    connect(reply, &QNetworkReply::readyRead, reply, [reply, maxBytes, body]() {
        // A compressed answer announces its compressed length; the cap counts what it unpacks to.
        const auto announcedTooLong = [reply, maxBytes]() {
            const std::optional<qint64> announced = announcedLength(reply);
            return announced && *announced > maxBytes;
        };
        if (body->size() + reply->bytesAvailable() > maxBytes ||
            (body->isEmpty() && announcedTooLong())) {
            body->clear();
            abortFor(reply, QStringLiteral("The answer is larger than %1 bytes.").arg(maxBytes));
            return;
        }
        takeArrived(reply, *body);
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

// Qt asks about a certificate that does not verify during the handshake, before the request is
// written, and only the errors of that very certificate are ignored. A channel keeps the errors
// it ignored when it reconnects, though, and then goes on with that certificate whatever the
// answer to sslErrors, or raises none at all. So every handshake that completes is checked again
// in encrypted(), which Qt also emits before writing anything (it waits for the slots): one that
// raised errors, or presents a key once accepted unverified, is decided by the trust records
// again and aborted when refused; any other verified normally. A connection opened ahead is
// decided the same way, as the https server it reaches.
// (A handshake that verifies normally while no request waits for the connection is reported
// to none; it is accepted whatever the records say, so only its "CA" record waits for the
// next handshake that is reported.)
void NetworkTransport::certificateUnverified(QNetworkReply* reply, const QList<QSslError>& errors)
{
    const QUrl url = serverUrl(reply);
    reply->setProperty(UnverifiedProperty, true);
    const QString key = keyOf(reply->sslConfiguration().peerCertificate());
    QString refusal;
    if (m_trust.acceptsUnverified(url, key, &refusal)) {
        m_ignoredKeys.insert(ServerTrust::serverOf(url) + key);
        m_refusals.remove(ServerTrust::serverOf(url));
        reply->ignoreSslErrors(errors);
    } else if (!refusal.isEmpty()) {
        m_refusals.insert(ServerTrust::serverOf(url), refusal);
        reply->setProperty(RefusalProperty, refusal);
    }
}

void NetworkTransport::handshakeDone(QNetworkReply* reply)
{
    const QUrl url = serverUrl(reply);
    const QString key = keyOf(reply->sslConfiguration().peerCertificate());
    if (!reply->property(UnverifiedProperty).toBool() &&
        !m_ignoredKeys.contains(ServerTrust::serverOf(url) + key))
        return m_trust.verified(url, key);
    QString refusal;
    if (m_trust.acceptsUnverified(url, key, &refusal))
        return;
    if (refusal.isEmpty())
        refusal = QStringLiteral("the server's certificate is not trusted; nothing was sent");
    m_refusals.insert(ServerTrust::serverOf(url), refusal);
    reply->setProperty(RefusalProperty, refusal);
    reply->abort();
}

// A connection opened while another host was saved may have been trusted under the old rule;
// once the saved host changes, new requests must go through a fresh handshake.
// A request in flight keeps its connection: the old server's connections go once nothing is in
// flight any more.
void NetworkTransport::dropOldConnections()
{
    const QString saved = m_trust.savedHost();
    if (saved != m_lastSavedHost) {
        m_lastSavedHost = saved;
        m_dropWhenIdle = true;
    }
    if (m_dropWhenIdle && m_inFlight == 0) {
        m_dropWhenIdle = false;
        m_manager->clearConnectionCache();
    }
}

// Clearing the connection cache stops Qt's HTTP thread, and a request in flight then never
// ends; so connections are dropped once nothing is in flight, from the event loop.
void NetworkTransport::dropConnectionsWhenIdle()
{
    QTimer::singleShot(0, this, [this]() {
        if (m_dropWhenIdle && m_inFlight == 0) {
            m_dropWhenIdle = false;
            m_manager->clearConnectionCache();
        }
    });
}

void NetworkTransport::requestEnded()
{
    if (m_inFlight > 0 && --m_inFlight == 0) {
        emit busyChanged(false);
        if (m_dropWhenIdle)
            dropConnectionsWhenIdle();
    }
}
