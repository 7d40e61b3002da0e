#pragma once

#include "ServerAddress.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class ApiTransport;
class LoginRequest;
class PasswordStore;
class SettingsStore;

// The login session of one account: the server settings (host, path, login) copied from the
// settings store when it is made and fixed from then on, the password it logs in with, the
// session id and the logged-in flag. It checks that the settings are complete and logs in; the
// notes and the lists of one account send their requests through the same instance, so a new
// login is seen by every one of them at once, and never by another account's.
class MemberCenter : public QObject
{
    Q_OBJECT
public:
    using LoginCompletion = std::function<void(bool accepted)>;

    static constexpr char PasswordMask[] = "********";

    // Copies the settings from the store; the password is copied from passwords once it is
    // known (while the keychain is read, a login waits for it). Without a password store, the
    // password is the settings file's.
    MemberCenter(SettingsStore& store, ApiTransport& transport, PasswordStore& passwords,
                 QObject* parent = nullptr);
    MemberCenter(SettingsStore& store, ApiTransport& transport, QObject* parent = nullptr);
    // Copies the settings from the store and logs in with this password.
    MemberCenter(SettingsStore& store, ApiTransport& transport, const QString& password,
                 QObject* parent = nullptr);
    ~MemberCenter() override;

    // Takes over the session and the password of another instance of the same host, path and
    // login (a new login made for the same account).
    void adoptSession(const MemberCenter& other);

    // True when host, login and password are all non-empty (a password still being read counts
    // as given). Otherwise clears the session, prints why and returns false.
    bool checkSettings();

    // Prints the URL and the body (password masked), starts the login and returns at once. The
    // completion runs once, on the main thread: true after an accepted login, false otherwise.
    // A login started while another of this instance is in flight cancels that one and answers
    // its completions too, so no caller waits in vain. While the password is being read, the login
    // waits for it.
    void actionLogin(LoginCompletion completion = {});
    // Waits for the login under way, or starts one when none is: requests that lost the session
    // together share one login.
    void joinLogin(LoginCompletion completion);
    bool loginInFlight() const;
    // Sends the login that the first window is about to ask for, so that its round trip overlaps
    // the building of the window. Nothing is printed and nothing is reported until the next
    // actionLogin() takes it up, which then prints its lines and reports it as its own. Does
    // nothing when the settings are incomplete or the password is not known yet.
    void loginAhead();

    // "https://" + host + path + "/api/" + script, joined as they stand: the line printed for
    // a login.
    QString urlText(const QString& script) const;
    // The URL requests are sent to, built from host and path, or why they cannot be used.
    ServerAddress::Composed address(const QString& script) const;

    const QString& host() const { return m_host; }
    const QString& path() const { return m_path; }
    const QString& login() const { return m_login; }
    const QString& password() const { return m_password; }
    // The password is still being read from the keychain.
    bool awaitsPassword() const { return m_awaitingPassword; }
    const QString& PHPSESSID() const { return m_PHPSESSID; }
    bool isLoggedIn() const { return m_isLoggedIn; }
    // How the last login failed, told apart by what can be done about it.
    enum class Failure
    {
        None,          // it succeeded, or none ended yet
        Temporary,     // no connection, a time-out, any 5xx, 408 or 429: try again later
        Configuration, // another status, or an answer that is no login answer: check host and path
        Refused,       // the server said no to the login and password
    };
    Failure lastFailure() const { return m_lastFailure; }
    // The last login got no answer from the service for now (Failure::Temporary).
    bool serverUnreachable() const { return m_lastFailure == Failure::Temporary; }
    // The HTTP status of the last login's answer, 0 without one.
    int lastStatus() const { return m_lastStatus; }
    // How long the server asked to wait before the next try, if it said.
    std::optional<int> retryAfterMs() const { return m_retryAfterMs; }
    ApiTransport& transport() const { return m_transport; }
    // The login in flight, or the last one made.
    LoginRequest* dataTask() const;

private:
    enum class Lines
    {
        Now,
        Later
    };
    void takeUpSettings();
    void sendLogin(Lines lines = Lines::Now);
    void printLoginLines() const;
    void takeUpLoginAhead();
    void passwordRead();
    void answerWaiting(bool accepted);
    static Failure failureOf(const LoginRequest& request);
    void loginFinished(LoginRequest* request);
    void clearSession();
    void setSession(bool loggedIn, const QString& sessionId);

    SettingsStore& m_store;
    ApiTransport& m_transport;
    QPointer<LoginRequest> m_dataTask;
    std::vector<LoginCompletion> m_waiting;
    QString m_PHPSESSID;
    bool m_isLoggedIn = false;
    QString m_host;
    QString m_path;
    QString m_login;
    QString m_password;
    bool m_awaitingPassword = false;
    bool m_loginAfterReading = false;
    Failure m_lastFailure = Failure::None;
    int m_lastStatus = 0;
    std::optional<int> m_retryAfterMs;
    // A login sent ahead that no actionLogin has taken up yet, its lines not yet printed, and
    // its outcome if it came in before that.
    bool m_ahead = false;
    bool m_linesOwed = false;
    LoginRequest* m_aheadFinished = nullptr;
    bool m_connectionsOpened = false;
};
