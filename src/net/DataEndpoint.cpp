#include "net/DataEndpoint.h"

#include "app/Console.h"
#include "net/FormBody.h"
#include "net/JsonValues.h"
#include "net/MemberCenter.h"
#include "ServerContract.h"

#include <QJsonDocument>
#include <QJsonObject>

struct DataEndpoint::Request
{
    bool isList = true;
    QString action;
    ParameterSource parameters;
    ListHandlers list;
    CommandHandlers command;
    bool isRepeat = false;
};

namespace {
void printUnreadable(const QString& why)
{
    Console::print(QStringLiteral("the server's answer cannot be read: ") + why);
}

bool isSessionError(int code)
{
    return code == ServerContract::ErrorCode::NoSession ||
           code == ServerContract::ErrorCode::SessionExpired;
}

bool isXml(const ApiAnswer& answer)
{
    return answer.hasContentType &&
           answer.contentType.startsWith(ServerContract::XmlContentTypePrefix);
}
} // namespace

DataEndpoint::DataEndpoint(const QString& file, const QString& action, QObject* parent)
    : QObject(parent), membercenter(new MemberCenter(this)), requestFile(file),
      requestAction(action)
{
}

DataEndpoint::~DataEndpoint() = default;

void DataEndpoint::requestList(const QString& action, ParameterSource parameters,
                               ListHandlers handlers)
{
    auto request = std::make_shared<Request>();
    request->isList = true;
    request->action = action;
    request->parameters = std::move(parameters);
    request->list = std::move(handlers);
    send(request);
}

void DataEndpoint::requestCommand(const QString& action, ParameterSource parameters,
                                  CommandHandlers handlers)
{
    auto request = std::make_shared<Request>();
    request->isList = false;
    request->action = action;
    request->parameters = std::move(parameters);
    request->command = std::move(handlers);
    send(request);
}

QByteArray DataEndpoint::composeBody(const Parameters& parameters) const
{
    FormBody body;
    body.add(ServerContract::Form::SessionId, membercenter->PHPSESSID);
    body.add(ServerContract::Form::Action, requestAction);
    for (const auto& [key, value] : parameters)
        body.add(key, value);
    return body.bytes();
}

void DataEndpoint::send(const std::shared_ptr<Request>& request)
{
    ++m_generation;
    requestAction = request->action;
    const QString urlText =
        ApiTransport::composeUrlText(membercenter->host, membercenter->path, requestFile);
    const QByteArray body = composeBody(request->parameters ? request->parameters() : Parameters{});
    ApiTransport::send(dataTask, urlText, body, this, [this, request](const ApiAnswer& answer) {
        if (request->isList)
            handleListAnswer(request, answer);
        else
            handleCommandAnswer(request, answer);
    });
}

void DataEndpoint::handleListAnswer(const std::shared_ptr<Request>& request,
                                    const ApiAnswer& answer)
{
    if (answer.transportFailed) {
        Console::print(answer.errorDescription);
        return;
    }
    if (!answer.isHttp || answer.statusCode != 200)
        return;
    if (isXml(answer)) {
        Console::print(QLatin1String(XmlLine));
        if (request->list.onXml)
            request->list.onXml(answer.body);
        return;
    }
    const QJsonDocument document = QJsonDocument::fromJson(answer.body);
    if (!document.isObject()) {
        printUnreadable(QStringLiteral("it is neither an XML list nor a JSON object"));
        return failed(request);
    }
    handleErrorEnvelope(request, document.object());
}

void DataEndpoint::handleCommandAnswer(const std::shared_ptr<Request>& request,
                                       const ApiAnswer& answer)
{
    if (answer.transportFailed) {
        Console::print(answer.errorDescription);
        return;
    }
    if (!answer.isHttp || answer.statusCode != 200)
        return;
    const QJsonDocument document = QJsonDocument::fromJson(answer.body);
    if (!document.isObject())
        return printUnreadable(QStringLiteral("it is not a JSON object"));
    const QJsonObject object = document.object();
    int success = 0;
    if (!JsonValues::readInteger(object, ServerContract::Json::Success, &success))
        return printUnreadable(QStringLiteral("\"success\" is missing or not an integer"));
    if (success == 1) {
        Console::print(request->command.successLine);
        if (request->command.onSuccess)
            request->command.onSuccess();
        return;
    }
    handleErrorEnvelope(request, object);
}

void DataEndpoint::handleErrorEnvelope(const std::shared_ptr<Request>& request,
                                       const QJsonObject& object)
{
    int code = 0;
    QString message;
    if (!JsonValues::readInteger(object, ServerContract::Json::ErrorCode, &code)) {
        printUnreadable(QStringLiteral("\"error_code\" is missing or not an integer"));
        return failed(request);
    }
    if (!JsonValues::readString(object, ServerContract::Json::ErrorMessage, &message)) {
        printUnreadable(QStringLiteral("\"error_message\" is missing or not a string"));
        return failed(request);
    }
    if (isSessionError(code))
        return recoverSession(request, message);
    Console::print(message);
    failed(request);
}

// Logs in again and, once the login is accepted, sends the same request once more with the new
// session id. A repeat that meets a session error again is not repeated: the server keeps
// refusing, and the client must not loop.
void DataEndpoint::recoverSession(const std::shared_ptr<Request>& request,
                                  const QString& errorMessage)
{
    if (request->isRepeat) {
        Console::print(errorMessage);
        return failed(request);
    }
    if (!membercenter->checkSettings(this))
        return;
    const quint64 generation = m_generation;
    membercenter->actionLogin(this, [this, request, generation](bool accepted) {
        if (!accepted || generation != m_generation)
            return;
        Console::print(QLatin1String(LoggedInLine));
        request->isRepeat = true;
        send(request);
    });
}

void DataEndpoint::failed(const std::shared_ptr<Request>& request)
{
    if (request->isList && request->list.onFailed)
        request->list.onFailed();
}
