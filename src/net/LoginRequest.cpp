#include "LoginRequest.h"

#include "ApiAnswer.h"
#include "FormBody.h"
#include "JsonValues.h"
#include "ServerContract.h"

#include <QJsonDocument>
#include <QJsonObject>

LoginRequest::LoginRequest(const QString& urlText, const QString& login, const QString& password,
                           QObject* parent)
    : ApiRequest(urlText,
                 FormBody()
                     .add(ServerContract::Form::Login, login)
                     .add(ServerContract::Form::Password, password)
                     .bytes(),
                 parent)
{
}

QString LoginRequest::unreadablePrefix() const
{
    return QStringLiteral("the login answer cannot be read: ");
}

// "success" and "PHPSESSID" are both read before either is acted on.
void LoginRequest::readAnswer(const ApiAnswer& answer)
{
    const QJsonDocument document = QJsonDocument::fromJson(answer.body);
    if (!document.isObject())
        return unreadable(QStringLiteral("it is not a JSON object"));
    const QJsonObject object = document.object();
    int success = 0;
    if (!JsonValues::readInteger(object, ServerContract::Json::Success, &success))
        return unreadable(QStringLiteral("\"success\" is missing or not an integer"));
    QString sessionId;
    if (!JsonValues::readString(object, ServerContract::Json::SessionId, &sessionId))
        return unreadable(QStringLiteral("\"PHPSESSID\" is missing or not a string"));
    if (success == 1) {
        m_sessionId = sessionId;
        return succeed();
    }
    QString message;
    if (!JsonValues::readString(object, ServerContract::Json::ErrorMessage, &message))
        return unreadable(QStringLiteral("the refusal has no \"error_message\""));
    refuse(0, message);
}
