#include "FakeTransport.h"

#include "TransportCall.h"

TransportCall* FakeTransport::post(const QUrl& url, const QByteArray& body)
{
    auto* call = new TransportCall({});
    m_sent.append({url, body, call});
    return call;
}

int FakeTransport::resolve(int index) const
{
    return index < 0 ? count() - 1 : index;
}

const FakeTransport::Sent& FakeTransport::at(int index) const
{
    static const Sent none;
    const int i = resolve(index);
    return i >= 0 && i < count() ? m_sent.at(i) : none;
}

QList<QByteArray> FakeTransport::bodies() const
{
    QList<QByteArray> all;
    for (const Sent& sent : m_sent)
        all.append(sent.body);
    return all;
}

bool FakeTransport::isOpen(int index) const
{
    const QPointer<TransportCall>& call = at(index).call;
    return call && call->isOpen();
}

bool FakeTransport::answer(const ApiAnswer& answer, int index)
{
    if (!isOpen(index))
        return false;
    at(index).call->deliver(answer);
    return true;
}

bool FakeTransport::answerBody(const QByteArray& body, const QByteArray& contentType, int index)
{
    ApiAnswer reply;
    reply.statusCode = 200;
    reply.hasContentType = !contentType.isNull();
    reply.contentType = contentType;
    reply.body = body;
    return answer(reply, index);
}

bool FakeTransport::answerJson(const QByteArray& json, int index)
{
    return answerBody(json, QByteArrayLiteral("application/json"), index);
}

bool FakeTransport::answerXml(const QByteArray& xml, int index)
{
    return answerBody(xml, QByteArrayLiteral("text/xml; charset=utf-8"), index);
}

bool FakeTransport::answerStatus(int status, const QByteArray& body, int index)
{
    ApiAnswer reply;
    reply.statusCode = status;
    reply.body = body;
    return answer(reply, index);
}

bool FakeTransport::failTransport(const QString& description, int index)
{
    ApiAnswer reply;
    reply.transportFailed = true;
    reply.errorDescription = description;
    return answer(reply, index);
}
