#pragma once

#include "ApiRequest.h"

// The login: "login=" + login + "&password=" + password to login.php. Success brings the
// session id the data requests send from then on; a refusal carries the server's message.
class LoginRequest : public ApiRequest
{
    Q_OBJECT
public:
    LoginRequest(const QString& urlText, const QString& login, const QString& password,
                 QObject* parent = nullptr);

    // The accepted session id; empty before a success.
    const QString& sessionId() const { return m_sessionId; }

    QString unreadablePrefix() const override;

protected:
    void readAnswer(const ApiAnswer& answer) override;

private:
    QString m_sessionId;
};
