#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class ApiRequest;
class CommandRequest;
class ListRequest;
class MemberCenter;

// The exchange of one data request owner (the notes, the client list, the project list) with
// its script: the body that carries the session id and the action ahead of the endpoint's own
// parameters, one request at a time (a newer one cancels the one in flight), the printed lines
// of each outcome, and the recovery from a lost session: log in again, then send the same
// request once more with the new session id.
class DataEndpoint : public QObject
{
    Q_OBJECT
public:
    using Parameters = QList<QPair<const char*, QString>>;
    // Read when the request is composed, and again for the repeat after a new login.
    using ParameterSource = std::function<Parameters()>;
    // Called once with the request's final outcome, whatever it is.
    using ListDone = std::function<void(const ListRequest& request)>;
    using CommandDone = std::function<void(const CommandRequest& request)>;

    static constexpr char LoggedInLine[] = "logged in";

    DataEndpoint(MemberCenter& membercenter, QString requestFile, QObject* parent = nullptr);
    ~DataEndpoint() override;

    void requestList(const QString& action, ParameterSource parameters, ListDone done);
    void requestCommand(const QString& action, const QString& successLine,
                        ParameterSource parameters, CommandDone done);

    // "PHPSESSID=" + id + "&action=" + requestAction, then the parameters, values
    // percent-encoded.
    QByteArray composeBody(const Parameters& parameters) const;

    MemberCenter& membercenter() const { return m_membercenter; }
    const QString& requestFile() const { return m_requestFile; }
    // The action of the request composed last (a repeat included).
    const QString& requestAction() const { return m_requestAction; }
    // The request in flight, or none.
    ApiRequest* dataTask() const;

private:
    struct Call;
    void send(const std::shared_ptr<Call>& call);
    void requestFinished(ApiRequest* request, const std::shared_ptr<Call>& call);
    void recoverSession(ApiRequest* lost, const std::shared_ptr<Call>& call);
    static void complete(ApiRequest* request, const std::shared_ptr<Call>& call);

    MemberCenter& m_membercenter;
    const QString m_requestFile;
    QString m_requestAction;
    QPointer<ApiRequest> m_dataTask;
    // Counts the requests sent, so a repeat that waited for a login knows whether a newer
    // request has taken its place meanwhile.
    quint64 m_generation = 0;
};
