#pragma once

#include "ServerAddress.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class ApiTransport;
class QJsonObject;
class TransportCall;
struct ApiAnswer;

// One request to the server with exactly one outcome. The outcome is set once, then finished()
// and either succeeded() or failed() are emitted. Subclasses read the body of a status-200
// answer; everything before that (transport failure, other status) is told apart here.
class ApiRequest : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Pending,
        Succeeded,       // the server did what was asked; the subclass holds the data
        Refused,         // the server said no: errorCode() and errorMessage()
        HttpStatus,      // a status other than 200 (httpStatus()), or no HTTP answer at all
        TransportFailed, // no readable answer arrived: errorMessage() says why
        Unreadable,      // the answer breaks the contract: errorMessage() says how
        Cancelled,       // replaced by a newer request of the same owner
    };

    // What Qt reports for an aborted request; a cancelled request is described the same way.
    static constexpr char CancelledDescription[] = "Operation canceled";

    ~ApiRequest() override;

    // Sends the request. When the address breaks a rule, nothing is sent and the request fails
    // at once as a transport failure that says which field is wrong.
    void start(ApiTransport& transport);
    // Stops the exchange; the outcome Cancelled follows through the event loop, so it reaches
    // the owner after the call that replaced the request has returned.
    void cancel();

    Outcome outcome() const { return m_outcome; }
    bool isPending() const { return m_outcome == Outcome::Pending; }
    int httpStatus() const { return m_httpStatus; }
    int errorCode() const { return m_errorCode; }
    const QString& errorMessage() const { return m_errorMessage; }
    // Refused with one of the codes that mean the session is gone and a new login is due.
    bool isSessionLost() const;
    // A status that says "not now" rather than "not this way": any 5xx, 408 or 429.
    bool isTemporaryStatus() const;
    // How long the server asked to wait ("Retry-After": seconds, or an HTTP date, from now).
    std::optional<int> retryAfterMs(const QDateTime& now) const;

    const QUrl& url() const { return m_address.url; }
    const QByteArray& body() const { return m_body; }

    // A failed exchange after which the server may have carried the request out.
    bool mayHaveReachedServer() const { return m_maybeReceived; }
    // Whether the transport may send the request again when a connection closes unanswered.
    virtual bool mayBeResent() const { return true; }

    // The printed line of a success, if any; the head of the line for an unreadable answer.
    virtual QString successLine() const { return {}; }
    virtual QString unreadablePrefix() const;

signals:
    void succeeded();
    void failed();
    void finished();

protected:
    ApiRequest(ServerAddress::Composed address, QByteArray body, QObject* parent);

    // Reads the body of a status-200 answer and ends with succeed(), refuse() or unreadable().
    virtual void readAnswer(const ApiAnswer& answer) = 0;

    void succeed();
    void refuse(int code, const QString& message);
    void unreadable(const QString& why);
    // "error_code" and "error_message" of a JSON answer, as a refusal.
    void readErrorEnvelope(const QJsonObject& object);
    // The body as a JSON object with an integer "success"; otherwise the answer is unreadable
    // and false is returned.
    bool readSuccessObject(const QByteArray& body, QJsonObject* object, int* success);

private:
    void takeAnswer(const ApiAnswer& answer);
    void finish(Outcome outcome, const QString& message = {});

    ServerAddress::Composed m_address;
    QByteArray m_body;
    QPointer<TransportCall> m_call;
    Outcome m_outcome = Outcome::Pending;
    int m_httpStatus = 0;
    QByteArray m_retryAfter;
    bool m_maybeReceived = false;
    int m_errorCode = 0;
    QString m_errorMessage;
};
