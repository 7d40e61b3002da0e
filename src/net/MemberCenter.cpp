#include "MemberCenter.h"

#include "Console.h"
#include "Localization.h"
#include "LoginRequest.h"
#include "RequestReport.h"
#include "ServerContract.h"
#include "SettingsStore.h"

MemberCenter::MemberCenter(SettingsStore& store, ApiTransport& transport, QObject* parent)
    : QObject(parent), m_store(store), m_transport(transport)
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
    copyString(SettingsStore::Password, m_password);
}

bool MemberCenter::checkSettings()
{
    if (m_host.isEmpty()) {
        clearSession();
        Console::print(Localization::text(Localization::EnterServerName));
        return false;
    }
    if (m_login.isEmpty() || m_password.isEmpty()) {
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
    const QString script = QLatin1String(ServerContract::Script::Login);
    Console::print(urlText(script));
    Console::print(QStringLiteral("login=") + m_login + QStringLiteral("&password=") +
                   QLatin1String(PasswordMask));

    if (completion)
        m_waiting.push_back(std::move(completion));
    if (m_dataTask)
        m_dataTask->cancel();
    auto* request = new LoginRequest(address(script), m_login, m_password, this);
    m_dataTask = request;
    connect(request, &ApiRequest::finished, this, [this, request]() { loginFinished(request); });
    request->start(m_transport);
}

// Only the latest login changes the session and answers the waiting callers; an earlier one
// that it replaced just reports its cancellation.
void MemberCenter::loginFinished(LoginRequest* request)
{
    request->deleteLater();
    RequestReport::print(*request);
    if (request != m_dataTask)
        return;
    if (request->outcome() == ApiRequest::Outcome::Succeeded)
        setSession(true, request->sessionId());
    else if (request->outcome() == ApiRequest::Outcome::Refused)
        clearSession();
    const bool accepted = request->outcome() == ApiRequest::Outcome::Succeeded;
    std::vector<LoginCompletion> waiting;
    waiting.swap(m_waiting);
    for (const LoginCompletion& completion : waiting)
        completion(accepted);
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
    m_store.synchronize();
}
