#include "ApiRequest.h"

#include "ApiTransport.h"
#include "JsonValues.h"
#include "ServerContract.h"
#include "TransportCall.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

ApiRequest::ApiRequest(ServerAddress::Composed address, QByteArray body, QObject* parent)
    : QObject(parent), m_address(std::move(address)), m_body(std::move(body))
{
}

ApiRequest::~ApiRequest() = default;

void ApiRequest::start(ApiTransport& transport)
{
    if (!m_address.problem.isEmpty()) {
        finish(Outcome::TransportFailed,
               QStringLiteral("invalid server address, nothing was sent: ") + m_address.problem);
        return;
    }
    TransportCall* call =
        transport.post(m_address.url, m_body,
                       mayBeResent() ? ApiTransport::Resend::Allowed : ApiTransport::Resend::Never);
    call->setParent(this);
    m_call = call;
    connect(call, &TransportCall::answered, this, &ApiRequest::takeAnswer);
}

void ApiRequest::cancel()
{
    if (!isPending())
        return;
    if (m_call)
        m_call->abort();
    QMetaObject::invokeMethod(
        this, [this]() { finish(Outcome::Cancelled, QString::fromLatin1(CancelledDescription)); },
        Qt::QueuedConnection);
}

bool ApiRequest::isTemporaryStatus() const
{
    return m_outcome == Outcome::HttpStatus &&
           (m_httpStatus >= 500 || m_httpStatus == 408 || m_httpStatus == 429);
}

std::optional<int> ApiRequest::retryAfterMs(const QDateTime& now) const
{
    const QByteArray text = m_retryAfter.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const qint64 seconds = text.toLongLong(&isNumber);
    if (isNumber)
        return seconds < 0 ? std::nullopt
                           : std::optional<int>(int(qMin<qint64>(seconds, 86400)) * 1000);
    // An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT") is a date of RFC 2822 named in UTC.
    QString date = QString::fromLatin1(text);
    if (date.endsWith(QLatin1String(" GMT")))
        date.replace(date.size() - 3, 3, QStringLiteral("+0000"));
    const QDateTime at = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!at.isValid())
        return std::nullopt;
    return int(qBound<qint64>(0, now.msecsTo(at), 86400LL * 1000));
}

bool ApiRequest::isSessionLost() const
{
    return m_outcome == Outcome::Refused &&
           (m_errorCode == ServerContract::ErrorCode::NoSession ||
            m_errorCode == ServerContract::ErrorCode::SessionExpired);
}

QString ApiRequest::unreadablePrefix() const
{
    return QStringLiteral("the server's answer cannot be read: ");
}

// Qt reports 4xx and 5xx as errors too, so the status is looked at first.
void ApiRequest::takeAnswer(const ApiAnswer& answer)
{
    if (!isPending())
        return;
    m_httpStatus = answer.statusCode;
    m_retryAfter = answer.retryAfter;
    if (answer.statusCode != 0 && answer.statusCode != 200)
        return finish(Outcome::HttpStatus);
    if (answer.transportFailed) {
        m_maybeReceived = answer.maybeReceived;
        return finish(Outcome::TransportFailed, answer.errorDescription);
    }
    if (answer.statusCode == 0)
        return finish(Outcome::HttpStatus);
    readAnswer(answer);
}

void ApiRequest::succeed()
{
    finish(Outcome::Succeeded);
}

void ApiRequest::refuse(int code, const QString& message)
{
    m_errorCode = code;
    finish(Outcome::Refused, message);
}

void ApiRequest::unreadable(const QString& why)
{
    finish(Outcome::Unreadable, why);
}

void ApiRequest::readErrorEnvelope(const QJsonObject& object)
{
    int code = 0;
    QString message;
    if (!JsonValues::readInteger(object, ServerContract::Json::ErrorCode, &code))
        return unreadable(QStringLiteral("\"error_code\" is missing or not an integer"));
    if (!JsonValues::readString(object, ServerContract::Json::ErrorMessage, &message))
        return unreadable(QStringLiteral("\"error_message\" is missing or not a string"));
    refuse(code, message);
}

bool ApiRequest::readSuccessObject(const QByteArray& body, QJsonObject* object, int* success)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject()) {
        unreadable(QStringLiteral("it is not a JSON object"));
        return false;
    }
    *object = document.object();
    if (!JsonValues::readInteger(*object, ServerContract::Json::Success, success)) {
        unreadable(QStringLiteral("\"success\" is missing or not an integer"));
        return false;
    }
    return true;
}

void ApiRequest::finish(Outcome outcome, const QString& message)
{
    if (!isPending())
        return;
    m_outcome = outcome;
    m_errorMessage = message;
    if (m_call)
        m_call->deleteLater();
    if (outcome == Outcome::Succeeded)
        emit succeeded();
    else
        emit failed();
    emit finished();
}
