#include "net/ApiTransport.h"

#include "app/Console.h"
#include "app/SettingsStore.h"
#include "net/RequestActivity.h"
#include "net/TrustRule.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QSslError>

namespace {
constexpr char CancelledProperty[] = "notesCancelledByOwner";

// The session travels in the request body only: a jar that never keeps or hands out a cookie.
class NoCookieJar : public QNetworkCookieJar
{
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};

int& timeoutMs()
{
    static int timeout = ApiTransport::DefaultTimeoutMs;
    return timeout;
}

// Errors that mean no complete HTTP answer arrived: connection and proxy failures, TLS failures,
// cancellation, time-out, and a malformed response.
bool isTransportFailure(QNetworkReply::NetworkError error)
{
    const int code = static_cast<int>(error);
    return (code >= 1 && code < 200) || error == QNetworkReply::ProtocolFailure;
}

QNetworkRequest makeRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setTransferTimeout(timeoutMs());
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    return request;
}

// A connection opened while another host was saved may have been trusted under the old rule;
// once the saved host changes, new requests must go through a fresh handshake.
void dropConnectionsIfHostChanged(QNetworkAccessManager& manager)
{
    static QString lastSavedHost;
    const QString saved = SettingsStore::shared().stringForKey(SettingsStore::Host);
    if (saved != lastSavedHost) {
        manager.clearConnectionCache();
        lastSavedHost = saved;
    }
}
} // namespace

QString ApiTransport::composeUrlText(const QString& host, const QString& path,
                                     const QString& script)
{
    return QStringLiteral("https://") + host + path + QLatin1String("/api/") + script;
}

QNetworkAccessManager& ApiTransport::manager()
{
    static QPointer<QNetworkAccessManager> instance;
    if (!instance) {
        instance = new QNetworkAccessManager(QCoreApplication::instance());
        instance->setCookieJar(new NoCookieJar(instance));
        instance->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        // Close the cached connections while the TLS layer is still there at shut-down.
        qAddPostRoutine([] {
            if (instance)
                delete instance.data();
        });
    }
    return *instance;
}

void ApiTransport::setTransferTimeout(int milliseconds)
{
    timeoutMs() = milliseconds;
}

int ApiTransport::transferTimeout()
{
    return timeoutMs();
}

void ApiTransport::cancel(RequestTask& dataTask)
{
    if (dataTask && dataTask->isRunning()) {
        dataTask->setProperty(CancelledProperty, true);
        dataTask->abort();
    }
}

bool ApiTransport::send(RequestTask& dataTask, const QString& urlText, const QByteArray& body,
                        QObject* owner, AnswerHandler handler)
{
    const QUrl url(urlText, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty()) {
        Console::print(QStringLiteral("invalid server address, nothing was sent: ") + urlText);
        return false;
    }

    QNetworkAccessManager& nam = manager();
    dropConnectionsIfHostChanged(nam);
    cancel(dataTask);

    QNetworkReply* reply = nam.post(makeRequest(url), body);
    RequestActivity::instance().started();
    QObject::connect(reply, &QObject::destroyed, &RequestActivity::instance(),
                     &RequestActivity::finished);
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [reply](const QList<QSslError>&) {
        if (TrustRule::acceptsUnverified(reply->url()))
            reply->ignoreSslErrors();
    });
    // Queued, so that even an answer produced inside abort() reaches the handler only after the
    // call that started a newer request has returned.
    QObject::connect(
        reply, &QNetworkReply::finished, owner,
        [reply, handler = std::move(handler)]() {
            const ApiAnswer answer = answerOf(reply);
            reply->deleteLater();
            handler(answer);
        },
        Qt::QueuedConnection);
    QObject::connect(owner, &QObject::destroyed, reply, [reply]() {
        reply->abort();
        reply->deleteLater();
    });
    dataTask = reply;
    return true;
}

ApiAnswer ApiTransport::answerOf(QNetworkReply* reply)
{
    ApiAnswer answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    if (error != QNetworkReply::NoError && (isTransportFailure(error) || !status.isValid())) {
        answer.transportFailed = true;
        answer.cancelled = reply->property(CancelledProperty).toBool();
        answer.timedOut = error == QNetworkReply::OperationCanceledError && !answer.cancelled;
        answer.errorDescription =
            answer.timedOut ? QStringLiteral("The request timed out.") : reply->errorString();
        return answer;
    }
    answer.isHttp = status.isValid();
    answer.statusCode = status.toInt();
    answer.hasContentType = reply->hasRawHeader("Content-Type");
    answer.contentType = reply->rawHeader("Content-Type");
    answer.body = reply->readAll();
    return answer;
}
