#include "net/MemberCenter.h"

#include "app/Console.h"
#include "app/Localization.h"
#include "app/SettingsStore.h"
#include "net/FormBody.h"
#include "net/JsonValues.h"
#include "ServerContract.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
void printMalformed(const QString& what)
{
    Console::print(QStringLiteral("the login answer cannot be read: ") + what);
}
} // namespace

MemberCenter::MemberCenter(QObject* parent) : QObject(parent)
{
    reloadFromStore();
}

void MemberCenter::reloadFromStore()
{
    const SettingsStore& store = SettingsStore::shared();
    auto copyString = [&store](const char* key, QString& field) {
        const QVariant value = store.valueForKey(QLatin1String(key));
        if (value.isValid())
            field = value.toString();
    };
    copyString(SettingsStore::SessionId, PHPSESSID);
    const QVariant loggedIn = store.valueForKey(QLatin1String(SettingsStore::IsLoggedIn));
    if (loggedIn.isValid())
        isLoggedIn = loggedIn.toBool();
    copyString(SettingsStore::Host, host);
    copyString(SettingsStore::Path, path);
    copyString(SettingsStore::Login, login);
    copyString(SettingsStore::Password, password);
}

bool MemberCenter::checkSettings(QObject*)
{
    if (host.isEmpty()) {
        clearSession();
        Console::print(Localization::text(Localization::EnterServerName));
        return false;
    }
    if (login.isEmpty() || password.isEmpty()) {
        clearSession();
        Console::print(Localization::text(Localization::EnterLoginPassword));
        return false;
    }
    return true;
}

void MemberCenter::actionLogin(QObject*, LoginCompletion completion)
{
    const QString urlText =
        ApiTransport::composeUrlText(host, path, QLatin1String(ServerContract::Script::Login));
    Console::print(urlText);
    // The body line shows what is sent, except the password.
    Console::print(QStringLiteral("login=") + login + QStringLiteral("&password=") +
                   QLatin1String(PasswordMask));

    const QByteArray body = FormBody()
                                .add(ServerContract::Form::Login, login)
                                .add(ServerContract::Form::Password, password)
                                .bytes();
    const bool sent = ApiTransport::send(
        dataTask, urlText, body, this,
        [this, completion](const ApiAnswer& answer) { handleLoginAnswer(answer, completion); });
    if (!sent && completion)
        completion(false);
}

void MemberCenter::handleLoginAnswer(const ApiAnswer& answer, const LoginCompletion& completion)
{
    const auto finish = [&completion](bool accepted) {
        if (completion)
            completion(accepted);
    };
    if (answer.transportFailed) {
        Console::print(answer.errorDescription);
        return finish(false);
    }
    if (!answer.isHttp || answer.statusCode != 200)
        return finish(false);

    const QJsonDocument document = QJsonDocument::fromJson(answer.body);
    if (!document.isObject()) {
        printMalformed(QStringLiteral("it is not a JSON object"));
        return finish(false);
    }
    const QJsonObject object = document.object();
    int success = 0;
    if (!JsonValues::readInteger(object, ServerContract::Json::Success, &success)) {
        printMalformed(QStringLiteral("\"success\" is missing or not an integer"));
        return finish(false);
    }
    const QJsonValue sessionId = object.value(QLatin1String(ServerContract::Json::SessionId));
    if (!sessionId.isString()) {
        printMalformed(QStringLiteral("\"PHPSESSID\" is missing or not a string"));
        return finish(false);
    }
    if (success == 1) {
        PHPSESSID = sessionId.toString();
        isLoggedIn = true;
        storeSession(true, PHPSESSID);
        return finish(true);
    }
    const QJsonValue message = object.value(QLatin1String(ServerContract::Json::ErrorMessage));
    if (!message.isString()) {
        printMalformed(QStringLiteral("the refusal has no \"error_message\""));
        return finish(false);
    }
    PHPSESSID.clear();
    isLoggedIn = false;
    storeSession(false, QString());
    Console::print(message.toString());
    finish(false);
}

void MemberCenter::clearSession()
{
    PHPSESSID.clear();
    isLoggedIn = false;
    storeSession(false, QString());
}

// "ISLOGGEDIN" and "PHPSESSID" are always written together, the flag first, then flushed.
void MemberCenter::storeSession(bool loggedIn, const QString& sessionId)
{
    SettingsStore& store = SettingsStore::shared();
    store.setBool(loggedIn, QLatin1String(SettingsStore::IsLoggedIn));
    store.setObject(sessionId, QLatin1String(SettingsStore::SessionId));
    store.synchronize();
}
