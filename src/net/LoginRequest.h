#pragma once

#include "ApiRequest.h"
#include "ServerAddress.h"

// The login: "login=" + login + "&password=" + password to login.php. Success brings the
// session id the data requests send from then on; a refusal carries the server's message.
class LoginRequest : public ApiRequest
{
    Q_OBJECT
public:
    LoginRequest(const ServerAddress::Composed& address, const QString& login,
                 const QString& password, QObject* parent = nullptr);

    // The accepted session id; empty before a success.
    const QString& sessionId() const { return m_sessionId; }

    QString unreadablePrefix() const override;

    // At most Limits::MaxSessionIdLength characters, none of them white space or control.
    static bool isUsableSessionId(const QString& id);

protected:
    void readAnswer(const ApiAnswer& answer) override;

private:
    QString m_sessionId;
};
