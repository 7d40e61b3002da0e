#pragma once

#include "net/ApiTransport.h"

#include <QObject>
#include <QString>

#include <functional>

// Keeps a copy of the user's server settings and of the server session (session id and the
// logged-in flag), checks that the settings are complete and logs in. Every request owner has an
// instance of its own; instances share state only through the settings store.
class MemberCenter : public QObject
{
    Q_OBJECT
public:
    using LoginCompletion = std::function<void(bool accepted)>;

    // Copies the settings from the shared store.
    explicit MemberCenter(QObject* parent = nullptr);

    // Copies the settings again, for instances that take up newly saved settings.
    void reloadFromStore();

    // True when host, login and password are all non-empty. Otherwise clears the session,
    // prints why and returns false.
    bool checkSettings(QObject* sender = nullptr);

    // Starts the login and returns at once. The completion, when given, runs once on this
    // object's thread: true after an accepted login, false in every other case.
    void actionLogin(QObject* sender = nullptr, LoginCompletion completion = {});

    static constexpr char PasswordMask[] = "********";

    ApiTransport::RequestTask dataTask;
    QString PHPSESSID;
    bool isLoggedIn = false;
    QString host;
    QString path;
    QString login;
    QString password;

private:
    void clearSession();
    void storeSession(bool loggedIn, const QString& sessionId);
    void handleLoginAnswer(const ApiAnswer& answer, const LoginCompletion& completion);
};
