#include "MemberCenter.h"

#include "ApiTransport.h"
#include "Console.h"
#include "Localization.h"
#include "LoginRequest.h"
#include "PasswordStore.h"
#include "RequestReport.h"
#include "ServerContract.h"
#include "ServerTrust.h"
#include "SettingsStore.h"

#include <utility>

namespace {
// The client list, the project list and the notes.
constexpr int ListsAfterLogin = 3;
} // namespace

MemberCenter::MemberCenter(SettingsStore& store, ApiTransport& transport, PasswordStore& passwords,
                           QObject* parent)
    : QObject(parent), m_store(store), m_transport(transport)
{
    takeUpSettings();
    if (!passwords.isReading()) {
        m_password = passwords.password();
        return;
    }
    m_awaitingPassword = true;
    connect(&passwords, &PasswordStore::readingEnded, this, [this, &passwords]() {
        if (!std::exchange(m_awaitingPassword, false))
            return;
        m_password = passwords.password();
        passwordRead();
    });
}

MemberCenter::MemberCenter(SettingsStore& store, ApiTransport& transport, QObject* parent)
    : MemberCenter(store, transport,
                   store.valueForKey(QLatin1String(SettingsStore::Password)).toString(), parent)
{
}

MemberCenter::MemberCenter(SettingsStore& store, ApiTransport& transport, const QString& password,
                           QObject* parent)
    : QObject(parent), m_store(store), m_transport(transport), m_password(password)
{
    takeUpSettings();
}

MemberCenter::~MemberCenter() = default;

void MemberCenter::takeUpSettings()
{
    auto copyString = [this](const char* key, QString& field) {
        const QVariant value = m_store.valueForKey(QLatin1String(key));
        if (value.isValid())
            field = value.toString();
    };
    copyString(SettingsStore::SessionId, m_PHPSESSID);
    const QVariant loggedIn = m_store.valueForKey(QLatin1String(SettingsStore::IsLoggedIn));
    if (loggedIn.isValid())
        m_isLoggedIn = loggedIn.toBool();
    copyString(SettingsStore::Host, m_host);
    copyString(SettingsStore::Path, m_path);
    copyString(SettingsStore::Login, m_login);
}

bool MemberCenter::checkSettings()
{
    if (m_host.isEmpty()) {
        clearSession();
        Console::print(Localization::text(Localization::EnterServerName));
        return false;
    }
    if (m_login.isEmpty() || (m_password.isEmpty() && !m_awaitingPassword)) {
        clearSession();
        Console::print(Localization::text(Localization::EnterLoginPassword));
        return false;
    }
    return true;
}

LoginRequest* MemberCenter::dataTask() const
{
    return m_dataTask;
}

QString MemberCenter::urlText(const QString& script) const
{
    return QStringLiteral("https://") + m_host + m_path +
           QLatin1String(ServerContract::ApiDirectory) + script;
}

ServerAddress::Composed MemberCenter::address(const QString& script) const
{
    return ServerAddress::compose(m_host, m_path, script);
}

void MemberCenter::actionLogin(LoginCompletion completion)
{
    if (completion)
        m_waiting.push_back(std::move(completion));
    if (std::exchange(m_ahead, false))
        return takeUpLoginAhead();
    if (m_awaitingPassword)
        m_loginAfterReading = true;
    else
        sendLogin();
}

void MemberCenter::joinLogin(LoginCompletion completion)
{
    if (!loginInFlight())
        return actionLogin(std::move(completion));
    m_waiting.push_back(std::move(completion));
}

bool MemberCenter::loginInFlight() const
{
    return m_loginAfterReading || m_ahead || (m_dataTask && m_dataTask->isPending());
}

// Only a password already known goes ahead: one the settings file holds is the one the login
// would use once the keychain has answered (the file holds it only when the keychain failed).
// A password that only the keychain knows is waited for by the appearance's own login.
void MemberCenter::loginAhead()
{
    if (m_host.isEmpty() || m_login.isEmpty() || m_password.isEmpty() || m_dataTask)
        return;
    m_ahead = true;
    sendLogin(Lines::Later);
}

// The first actionLogin after loginAhead() takes that login over: its lines are printed now, in
// the order a login started here would print them, and an outcome that came in meanwhile is
// handled now.
void MemberCenter::takeUpLoginAhead()
{
    if (std::exchange(m_linesOwed, false))
        printLoginLines();
    if (LoginRequest* finished = std::exchange(m_aheadFinished, nullptr))
        loginFinished(finished);
}

// The login that waited for the password goes out now, unless there is none to send.
void MemberCenter::passwordRead()
{
    if (!std::exchange(m_loginAfterReading, false))
        return;
    if (checkSettings())
        sendLogin();
    else
        answerWaiting(false);
}

void MemberCenter::printLoginLines() const
{
    Console::print(urlText(QLatin1String(ServerContract::Script::Login)));
    Console::print(QStringLiteral("login=") + m_login + QStringLiteral("&password=") +
                   QLatin1String(PasswordMask));
}

void MemberCenter::sendLogin(Lines lines)
{
    const QString script = QLatin1String(ServerContract::Script::Login);
    m_linesOwed = lines == Lines::Later;
    if (!m_linesOwed)
        printLoginLines();

    if (m_dataTask)
        m_dataTask->cancel();
    auto* request = new LoginRequest(address(script), m_login, m_password, this);
    m_dataTask = request;
    connect(request, &ApiRequest::finished, this, [this, request]() { loginFinished(request); });
    // The lists that follow the first login go out together, one connection each: the login's
    // and two more, opened with it so that their handshakes overlap the login's round trip.
    // Opened before the login is queued, the login takes the first of them that is ready.
    if (!std::exchange(m_connectionsOpened, true))
        m_transport.openConnections(request->url(), ListsAfterLogin);
    request->start(m_transport);
}

// Only the latest login changes the session and answers the waiting callers; an earlier one
// that it replaced just reports its cancellation.
void MemberCenter::loginFinished(LoginRequest* request)
{
    // A login sent ahead is reported once someone takes it up.
    if (m_ahead && request == m_dataTask) {
        m_aheadFinished = request;
        return;
    }
    request->deleteLater();
    RequestReport::print(*request);
    if (request != m_dataTask)
        return;
    m_lastFailure = failureOf(*request);
    m_lastStatus = request->httpStatus();
    m_retryAfterMs = request->retryAfterMs(QDateTime::currentDateTimeUtc());
    if (request->outcome() == ApiRequest::Outcome::Succeeded) {
        if (ServerTrust* trust = m_transport.serverTrust())
            trust->loginSucceeded(request->url());
        setSession(true, request->sessionId());
    } else if (request->outcome() == ApiRequest::Outcome::Refused)
        clearSession();
    answerWaiting(request->outcome() == ApiRequest::Outcome::Succeeded);
}

MemberCenter::Failure MemberCenter::failureOf(const LoginRequest& request)
{
    switch (request.outcome()) {
    case ApiRequest::Outcome::TransportFailed:
        return Failure::Temporary;
    case ApiRequest::Outcome::HttpStatus:
        return request.isTemporaryStatus() ? Failure::Temporary : Failure::Configuration;
    case ApiRequest::Outcome::Unreadable:
        return Failure::Configuration;
    case ApiRequest::Outcome::Refused:
        return Failure::Refused;
    case ApiRequest::Outcome::Succeeded:
    case ApiRequest::Outcome::Cancelled:
    case ApiRequest::Outcome::Pending:
        break;
    }
    return Failure::None;
}

void MemberCenter::answerWaiting(bool accepted)
{
    std::vector<LoginCompletion> waiting;
    waiting.swap(m_waiting);
    for (const LoginCompletion& completion : waiting)
        completion(accepted);
}

void MemberCenter::adoptSession(const MemberCenter& other)
{
    m_password = other.m_password;
    m_awaitingPassword = false;
    m_lastFailure = Failure::None;
    m_PHPSESSID = other.m_PHPSESSID;
    m_isLoggedIn = other.m_isLoggedIn;
}

void MemberCenter::clearSession()
{
    setSession(false, QString());
}

// "ISLOGGEDIN" and "PHPSESSID" are always written together, the flag first, then flushed.
void MemberCenter::setSession(bool loggedIn, const QString& sessionId)
{
    m_PHPSESSID = sessionId;
    m_isLoggedIn = loggedIn;
    m_store.setBool(loggedIn, QLatin1String(SettingsStore::IsLoggedIn));
    m_store.setObject(sessionId, QLatin1String(SettingsStore::SessionId));
    m_store.synchronizeSoon();
}
