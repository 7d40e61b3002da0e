#include "FakeTransport.h"

#include "TransportCall.h"

TransportCall* FakeTransport::post(const QUrl& url, const QByteArray& body, Resend)
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
