#include "CommandRequest.h"

#include "ApiAnswer.h"
#include "ServerContract.h"

#include <QJsonObject>

#include <utility>

CommandRequest::CommandRequest(const ServerAddress::Composed& address, const QByteArray& body,
                               QString successLine, QObject* parent)
    : ApiRequest(address, body, parent), m_successLine(std::move(successLine))
{
}

void CommandRequest::readAnswer(const ApiAnswer& answer)
{
    QJsonObject object;
    int success = 0;
    if (!readSuccessObject(answer.body, &object, &success))
        return;
    if (success == 1) {
        const QJsonValue id = object.value(QLatin1String(ServerContract::Json::NewNoteId));
        if (id.isString())
            m_noteId = id.toString();
        else if (id.isDouble() && id.toDouble() == double(id.toInteger()))
            m_noteId = QString::number(id.toInteger());
        return succeed();
    }
    readErrorEnvelope(object);
}
