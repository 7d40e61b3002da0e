#include "LoginRequest.h"

#include "ApiAnswer.h"
#include "FormBody.h"
#include "JsonValues.h"
#include "Limits.h"
#include "ServerContract.h"

#include <QJsonObject>

#include <algorithm>

LoginRequest::LoginRequest(const ServerAddress::Composed& address, const QString& login,
                           const QString& password, QObject* parent)
    : ApiRequest(address,
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

// The id goes into the settings file and into every request body.
bool LoginRequest::isUsableSessionId(const QString& id)
{
    if (id.size() > Limits::MaxSessionIdLength)
        return false;
    return std::none_of(id.cbegin(), id.cend(), [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control || c == QChar(0x7F);
    });
}

// "success" and "PHPSESSID" are both read before either is acted on.
void LoginRequest::readAnswer(const ApiAnswer& answer)
{
    QJsonObject object;
    int success = 0;
    if (!readSuccessObject(answer.body, &object, &success))
        return;
    QString sessionId;
    if (!JsonValues::readString(object, ServerContract::Json::SessionId, &sessionId))
        return unreadable(QStringLiteral("\"PHPSESSID\" is missing or not a string"));
    if (success == 1) {
        if (!isUsableSessionId(sessionId))
            return unreadable(QStringLiteral("\"PHPSESSID\" is longer than %1 characters or holds "
                                             "white space or control characters")
                                  .arg(Limits::MaxSessionIdLength));
        m_sessionId = sessionId;
        return succeed();
    }
    QString message;
    if (!JsonValues::readString(object, ServerContract::Json::ErrorMessage, &message))
        return unreadable(QStringLiteral("the refusal has no \"error_message\""));
    refuse(0, message);
}
