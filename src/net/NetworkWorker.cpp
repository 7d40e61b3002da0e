#include "NetworkWorker.h"

#include "ServerTrust.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
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
                ? QString::fromLatin1(NetworkWorker::TimedOutDescription)
            : error == QNetworkReply::ContentReSendError
                ? QString::fromLatin1(NetworkWorker::ClosedUnansweredDescription)
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

NetworkWorker::NetworkWorker(ServerTrust& trust)
    : m_manager(new QNetworkAccessManager(this)), m_trust(trust)
{
    m_manager->setCookieJar(new NoCookieJar(m_manager));
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    // The manager's signals, not each reply's: a handshake is reported to whichever request
    // Qt pairs with the connection, which may be one opened ahead that no caller holds.
    connect(m_manager, &QNetworkAccessManager::sslErrors, this,
            &NetworkWorker::certificateUnverified);
    connect(m_manager, &QNetworkAccessManager::encrypted, this, &NetworkWorker::handshakeDone);
    connect(m_manager, &QNetworkAccessManager::finished, this, [](QNetworkReply* reply) {
        if (opensAhead(reply))
            reply->deleteLater();
    });
}

NetworkWorker::~NetworkWorker() = default;

void NetworkWorker::start(quint64 id, const QUrl& url, const QByteArray& body, bool mayResend,
                          const RequestLimits& limits)
{
    QNetworkRequest request = makeRequest(url, limits.transferTimeoutMs);
    QNetworkReply* reply = nullptr;
    if (!mayResend) {
        request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
        request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        auto* once = new OneShotBody(body, nullptr);
        reply = m_manager->post(request, once);
        once->setParent(reply);
    } else {
        reply = m_manager->post(request, body);
    }
    m_replies.insert(id, reply);
    auto answerBody = std::make_shared<QByteArray>();
    watchLimits(reply, answerBody, limits);
    connect(reply, &QNetworkReply::finished, this, [this, id, reply, answerBody]() {
        // The handshake may have been refused while Qt had paired it with another request.
        if (reply->error() == QNetworkReply::SslHandshakeFailedError &&
            reply->property(RefusalProperty).toString().isEmpty())
            reply->setProperty(RefusalProperty,
                               m_refusals.value(ServerTrust::serverOf(reply->url())));
        const ApiAnswer answer = answerOf(reply, *answerBody);
        m_replies.remove(id);
        reply->deleteLater();
        emit ended(id, answer);
    });
}

void NetworkWorker::abort(quint64 id)
{
    if (QNetworkReply* reply = m_replies.value(id))
        reply->abort();
}

// Qt opens a connection for each of these with the default TLS configuration, which is the
// requests' own. Requests queued meanwhile take whichever connection is ready first.
void NetworkWorker::openConnections(const QString& host, quint16 port, int count)
{
    for (int i = 0; i < count; ++i)
        m_manager->connectToHostEncrypted(host, port);
}

void NetworkWorker::dropConnections()
{
    m_manager->clearConnectionCache();
}

// The answer is read and counted as it arrives, and a server that trickles bytes forever still
// meets the deadline.
void NetworkWorker::watchLimits(QNetworkReply* reply, const std::shared_ptr<QByteArray>& body,
                                const RequestLimits& limits)
{
    const qint64 maxBytes = limits.maxAnswerBytes;
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
    const int deadlineMs = limits.deadlineMs;
    connect(deadline, &QTimer::timeout, reply, [reply, deadlineMs]() {
        abortFor(reply, QStringLiteral("No complete answer within %1 seconds.")
                            .arg(QString::number(deadlineMs / 1000.0)));
    });
    deadline->start(limits.deadlineMs);
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
void NetworkWorker::certificateUnverified(QNetworkReply* reply, const QList<QSslError>& errors)
{
    const QUrl url = serverUrl(reply);
    reply->setProperty(UnverifiedProperty, true);
    const QString key = keyOf(reply->sslConfiguration().peerCertificate());
    const ServerTrust::Verdict verdict = m_trust.judgeUnverified(url, key);
    if (verdict.accepted) {
        m_ignoredKeys.insert(verdict.server + key);
        m_refusals.remove(verdict.server);
        reply->ignoreSslErrors(errors);
    } else if (!verdict.refusalLine.isEmpty()) {
        m_refusals.insert(verdict.server, verdict.refusalLine);
        reply->setProperty(RefusalProperty, verdict.refusalLine);
    }
    applyLater(verdict);
}

void NetworkWorker::handshakeDone(QNetworkReply* reply)
{
    const QUrl url = serverUrl(reply);
    const QString key = keyOf(reply->sslConfiguration().peerCertificate());
    if (!reply->property(UnverifiedProperty).toBool() &&
        !m_ignoredKeys.contains(ServerTrust::serverOf(url) + key))
        return applyLater(m_trust.judgeVerified(url, key));
    const ServerTrust::Verdict verdict = m_trust.judgeUnverified(url, key);
    applyLater(verdict);
    if (verdict.accepted)
        return;
    const QString refusal =
        verdict.refusalLine.isEmpty()
            ? QStringLiteral("the server's certificate is not trusted; nothing was sent")
            : verdict.refusalLine;
    m_refusals.insert(verdict.server, refusal);
    reply->setProperty(RefusalProperty, refusal);
    reply->abort();
}

// What a handshake changes in the records is done on the main thread, in order with the answers:
// a login's answer finds the record its handshake made.
void NetworkWorker::applyLater(const ServerTrust::Verdict& verdict)
{
    if (verdict.effect == ServerTrust::Verdict::Effect::None)
        return;
    ServerTrust* trust = &m_trust;
    QMetaObject::invokeMethod(
        trust, [trust, verdict]() { trust->apply(verdict); }, Qt::QueuedConnection);
}
