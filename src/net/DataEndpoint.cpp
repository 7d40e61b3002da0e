#include "DataEndpoint.h"

#include "CommandRequest.h"
#include "Console.h"
#include "FormBody.h"
#include "ListRequest.h"
#include "MemberCenter.h"
#include "RequestReport.h"
#include "ServerContract.h"

#include <optional>
#include <utility>

struct DataEndpoint::Call
{
    QString action;
    ParameterSource parameters;
    // Set for commands; lists have no line of their own beyond the XML line.
    std::optional<QString> successLine;
    std::function<void(const ApiRequest&)> done;
    bool isRepeat = false;
    QString sessionSent; // the session id the request went out with
};

DataEndpoint::DataEndpoint(MemberCenter& membercenter, QString requestFile, QObject* parent)
    : QObject(parent), m_membercenter(membercenter), m_requestFile(std::move(requestFile))
{
}

DataEndpoint::~DataEndpoint() = default;

void DataEndpoint::requestList(const QString& action, ParameterSource parameters, ListDone done)
{
    auto call = std::make_shared<Call>();
    call->action = action;
    call->parameters = std::move(parameters);
    call->done = [done = std::move(done)](const ApiRequest& request) {
        if (done)
            done(static_cast<const ListRequest&>(request));
    };
    send(call);
}

void DataEndpoint::requestCommand(const QString& action, const QString& successLine,
                                  ParameterSource parameters, CommandDone done)
{
    auto call = std::make_shared<Call>();
    call->action = action;
    call->parameters = std::move(parameters);
    call->successLine = successLine;
    call->done = [done = std::move(done)](const ApiRequest& request) {
        if (done)
            done(static_cast<const CommandRequest&>(request));
    };
    send(call);
}

ApiRequest* DataEndpoint::dataTask() const
{
    return m_dataTask;
}

QByteArray DataEndpoint::composeBody(const Parameters& parameters) const
{
    FormBody body;
    body.add(ServerContract::Form::SessionId, m_membercenter.PHPSESSID());
    body.add(ServerContract::Form::Action, m_requestAction);
    for (const auto& [key, value] : parameters)
        body.add(key, value);
    return body.bytes();
}

void DataEndpoint::send(const std::shared_ptr<Call>& call)
{
    ++m_generation;
    m_requestAction = call->action;
    const ServerAddress::Composed url = m_membercenter.address(m_requestFile);
    const QByteArray body = composeBody(call->parameters ? call->parameters() : Parameters{});
    call->sessionSent = m_membercenter.PHPSESSID();
    if (m_dataTask)
        m_dataTask->cancel();
    ApiRequest* request =
        call->successLine
            ? static_cast<ApiRequest*>(new CommandRequest(url, body, *call->successLine, this))
            : new ListRequest(url, body, this);
    m_dataTask = request;
    connect(request, &ApiRequest::finished, this,
            [this, request, call]() { requestFinished(request, call); });
    request->start(m_membercenter.transport());
}

void DataEndpoint::requestFinished(ApiRequest* request, const std::shared_ptr<Call>& call)
{
    if (request->isSessionLost() && !call->isRepeat)
        return recoverSession(request, call);
    RequestReport::print(*request);
    complete(request, call);
}

// Logs in again and, once the login is accepted, sends the same request once more with the new
// session id. Requests that lose the session together share one login: one that finds a login
// under way waits for it, and one that went out before a newer session came is sent again with
// it at once. The repeat is not repeated when it meets a lost session again: the server keeps
// refusing, and the client must not loop. When the settings are incomplete, the login is
// refused, or a newer request took this one's place, the lost request is the outcome.
void DataEndpoint::recoverSession(ApiRequest* lost, const std::shared_ptr<Call>& call)
{
    if (!m_membercenter.checkSettings())
        return complete(lost, call);
    const quint64 generation = m_generation;
    QPointer<ApiRequest> guard(lost);
    if (m_membercenter.isLoggedIn() && !m_membercenter.loginInFlight() &&
        m_membercenter.PHPSESSID() != call->sessionSent) {
        Console::print(QLatin1String(LoggedInLine));
        guard->deleteLater();
        call->isRepeat = true;
        return send(call);
    }
    m_membercenter.joinLogin([this, guard, call, generation](bool accepted) {
        if (!guard)
            return; // this endpoint is gone
        if (!accepted || generation != m_generation)
            return complete(guard, call);
        Console::print(QLatin1String(LoggedInLine));
        guard->deleteLater();
        call->isRepeat = true;
        send(call);
    });
}

void DataEndpoint::complete(ApiRequest* request, const std::shared_ptr<Call>& call)
{
    request->deleteLater();
    call->done(*request);
}
