#include "AdminApi.h"

#include "ApiHandler.h"
#include "FaultQueue.h"
#include "NotesDatabase.h"
#include "RequestLog.h"
#include "SessionStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

AdminApi::AdminApi(FaultQueue& faults, RequestLog& requests, SessionStore& sessions,
                   NotesDatabase& database, ApiOptions& options)
    : m_faults(faults), m_requests(requests), m_sessions(sessions), m_database(database),
      m_options(options)
{
}

bool AdminApi::isAdminPath(const QString& path)
{
    return path.startsWith(QLatin1String(Prefix));
}

HttpReply AdminApi::handle(const IncomingRequest& request)
{
    if (!request.peer.isLoopback())
        return error(403, QStringLiteral("admin calls are served to loopback peers only"));
    return route(request.path.mid(qsizetype(sizeof(Prefix)) - 1), request);
}

HttpReply AdminApi::route(const QString& command, const IncomingRequest& request)
{
    const QByteArray& method = request.method;
    if (command == QLatin1String("faults") && method == "POST")
        return addFault(request.body);
    if (command == QLatin1String("faults") && method == "DELETE") {
        m_faults.clear();
        return ok();
    }
    if (command == QLatin1String("requests") && method == "GET")
        return jsonReply(200, QJsonDocument(m_requests.toJson()).toJson(QJsonDocument::Compact));
    if (command == QLatin1String("requests") && method == "DELETE") {
        m_requests.clear();
        return ok();
    }
    if (command == QLatin1String("sessions/expire") && method == "POST") {
        m_sessions.expireAll();
        return ok();
    }
    if (command == QLatin1String("sessions/clear") && method == "POST") {
        m_sessions.clear();
        return ok();
    }
    if (command == QLatin1String("notes") && method == "GET")
        return notes();
    if (command == QLatin1String("options") && method == "POST")
        return setOptions(request.body);
    static const QStringList commands = {
        QStringLiteral("faults"),          QStringLiteral("requests"),
        QStringLiteral("sessions/expire"), QStringLiteral("sessions/clear"),
        QStringLiteral("notes"),           QStringLiteral("options")};
    if (commands.contains(command))
        return error(405, QStringLiteral("method not allowed"));
    return error(404, QStringLiteral("unknown admin call"));
}

HttpReply AdminApi::addFault(const QByteArray& body)
{
    QString problem;
    const auto fault = Fault::fromJson(body, &problem);
    if (!fault)
        return error(400, problem);
    m_faults.add(*fault);
    return ok();
}

HttpReply AdminApi::notes() const
{
    QJsonArray notes;
    const QList<NoteRecord> records = m_database.allNotes();
    for (const NoteRecord& note : records) {
        notes.append(QJsonObject{{QStringLiteral("id"), note.id},
                                 {QStringLiteral("note"), note.text},
                                 {QStringLiteral("clientId"), note.clientId},
                                 {QStringLiteral("projectId"), note.projectId},
                                 {QStringLiteral("datetime_create"), note.created}});
    }
    return jsonReply(200, QJsonDocument(notes).toJson(QJsonDocument::Compact));
}

// Every key must be a known option with a value of the right type, or nothing changes.
HttpReply AdminApi::setOptions(const QByteArray& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return error(400, QStringLiteral("the options must be a JSON object"));
    const QJsonObject options = document.object();
    const QString addNoteAnswersId = QStringLiteral("addNoteAnswersId");
    for (auto it = options.begin(); it != options.end(); ++it) {
        if (it.key() != addNoteAnswersId)
            return error(400, QStringLiteral("unknown option %1").arg(it.key()));
        if (!it.value().isBool())
            return error(400, QStringLiteral("%1 must be true or false").arg(it.key()));
    }
    m_options.addNoteAnswersId = options.value(addNoteAnswersId).toBool(m_options.addNoteAnswersId);
    return ok();
}

HttpReply AdminApi::ok()
{
    return jsonReply(200, QByteArrayLiteral("{\"ok\":true}"));
}

HttpReply AdminApi::error(int status, const QString& message)
{
    const QJsonObject answer{{QStringLiteral("ok"), false}, {QStringLiteral("error"), message}};
    return jsonReply(status, QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

HttpReply AdminApi::jsonReply(int status, const QByteArray& json)
{
    return HttpReply{status, QByteArrayLiteral("application/json"), json, {}};
}
