#pragma once

#include "ApiAnswer.h"
#include "ApiTransport.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QUrl>

class TransportCall;

// A transport that sends nothing: it records every request and lets the test answer each one
// with literal server bytes, in-process and without timing. Answers are delivered at once, from
// the test's own call. Index -1 means the latest request.
class FakeTransport : public ApiTransport
{
public:
    struct Sent
    {
        QUrl url;
        QByteArray body;
        QPointer<TransportCall> call;
    };

    TransportCall* post(const QUrl& url, const QByteArray& body, Resend resend) override;
    struct Opened
    {
        QUrl url;
        int count = 0;
        int requestsBefore = 0; // how many requests had been sent then
    };
    void openConnections(const QUrl& url, int count) override
    {
        m_opened.append({url, count, this->count()});
    }
    const QList<Opened>& opened() const { return m_opened; }

    int count() const { return static_cast<int>(m_sent.size()); }
    const Sent& at(int index) const;
    // The bodies of every request so far, in the order sent.
    QList<QByteArray> bodies() const;
    // True while the request waits for its answer (not answered, aborted or destroyed).
    bool isOpen(int index = -1) const;

    // Each returns false when that request cannot be answered any more.
    bool answer(const ApiAnswer& answer, int index = -1);
    bool answerBody(const QByteArray& body, const QByteArray& contentType, int index = -1)
    {
        return answer({false, {}, 200, !contentType.isNull(), contentType, body}, index);
    }
    bool answerJson(const QByteArray& json, int index = -1)
    {
        return answerBody(json, "application/json", index);
    }
    bool answerXml(const QByteArray& xml, int index = -1)
    {
        return answerBody(xml, "text/xml; charset=utf-8", index);
    }
    bool answerStatus(int status, const QByteArray& body = {}, int index = -1)
    {
        return answer({false, {}, status, false, {}, body}, index);
    }
    bool failTransport(const QString& description, int index = -1)
    {
        return answer({true, description, 0, false, {}, {}}, index);
    }

private:
    int resolve(int index) const;

    QList<Sent> m_sent;
    QList<Opened> m_opened;
};
