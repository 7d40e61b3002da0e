#include "CommandRequest.h"

#include "ApiAnswer.h"
#include "JsonValues.h"
#include "ServerContract.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

CommandRequest::CommandRequest(const ServerAddress::Composed& address, const QByteArray& body, QString successLine,
                               QObject* parent)
    : ApiRequest(address, body, parent), m_successLine(std::move(successLine))
{
}

void CommandRequest::readAnswer(const ApiAnswer& answer)
{
    const QJsonDocument document = QJsonDocument::fromJson(answer.body);
    if (!document.isObject())
        return unreadable(QStringLiteral("it is not a JSON object"));
    const QJsonObject object = document.object();
    int success = 0;
    if (!JsonValues::readInteger(object, ServerContract::Json::Success, &success))
        return unreadable(QStringLiteral("\"success\" is missing or not an integer"));
    if (success == 1)
        return succeed();
    readErrorEnvelope(object);
}
