#pragma once

#include "net/ApiTransport.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

class MemberCenter;
class QJsonObject;

// The exchange every data request owner shares: the body that carries the session id and the
// action ahead of the endpoint's own parameters, the classification of the answer (transport
// error, status, XML list or JSON envelope), the printed lines, and the recovery from a lost
// session (log in again, then send the same request once more).
class DataEndpoint : public QObject
{
    Q_OBJECT
public:
    using Parameters = QList<QPair<const char*, QString>>;
    // Read when the request is composed, and again for the repeat after a new login.
    using ParameterSource = std::function<Parameters()>;

    struct ListHandlers
    {
        // The XML body of a list answer, on the main thread.
        std::function<void(const QByteArray& xml)> onXml;
        // The server could not deliver the list: an error code other than a lost session, an
        // answer that breaks the envelope, or a lost session again after the repeat. While a
        // lost session is being mended by a new login nothing is called; a refused login ends
        // the request there.
        std::function<void()> onFailed;
    };

    struct CommandHandlers
    {
        QString successLine;
        std::function<void()> onSuccess;
    };

    static constexpr char XmlLine[] = "vsetko prebehlo na serveri OK a mame XML data";
    static constexpr char LoggedInLine[] = "logged in";

    // requestFile is the script under the API directory; action the initial requestAction.
    DataEndpoint(const QString& requestFile, const QString& action, QObject* parent = nullptr);
    ~DataEndpoint() override;

    void requestList(const QString& action, ParameterSource parameters, ListHandlers handlers);
    void requestCommand(const QString& action, ParameterSource parameters,
                        CommandHandlers handlers);

    // "PHPSESSID=" + id + "&action=" + action, then the parameters, values percent-encoded.
    QByteArray composeBody(const Parameters& parameters) const;

    // The owner's request in flight (or the last one made).
    ApiTransport::RequestTask dataTask;
    // The owner's own login and session object.
    MemberCenter* const membercenter;
    const QString requestFile;
    QString requestAction;

private:
    struct Request;
    void send(const std::shared_ptr<Request>& request);
    void handleListAnswer(const std::shared_ptr<Request>& request, const ApiAnswer& answer);
    void handleCommandAnswer(const std::shared_ptr<Request>& request, const ApiAnswer& answer);
    void handleErrorEnvelope(const std::shared_ptr<Request>& request, const QJsonObject& object);
    void recoverSession(const std::shared_ptr<Request>& request, const QString& errorMessage);
    static void failed(const std::shared_ptr<Request>& request);

    // Counts the requests sent, so a repeat that waited for a login knows whether a newer
    // request of this owner has taken its place meanwhile.
    quint64 m_generation = 0;
};
