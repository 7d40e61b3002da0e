#pragma once

#include "HttpReply.h"
#include "IncomingRequest.h"

struct ApiOptions;
class FaultQueue;
class NotesDatabase;
class RequestLog;
class SessionStore;

// The test hooks under /__admin/, answered only to loopback peers:
//   POST   /__admin/faults            add a fault (JSON object, see Fault)
//   DELETE /__admin/faults            remove all faults
//   GET    /__admin/requests          the recorded requests as a JSON array
//   DELETE /__admin/requests          forget the recorded requests
//   POST   /__admin/sessions/expire   every session answers "expired" from now on
//   POST   /__admin/sessions/clear    forget every session
//   GET    /__admin/notes             every stored note as a JSON array
//   POST   /__admin/options           change ApiOptions: {"addNoteAnswersId": true}
// Answers are JSON: {"ok":true} for the commands, {"ok":false,"error":"..."} on failure.
class AdminApi
{
public:
    static constexpr char Prefix[] = "/__admin/";

    AdminApi(FaultQueue& faults, RequestLog& requests, SessionStore& sessions,
             NotesDatabase& database, ApiOptions& options);

    static bool isAdminPath(const QString& path);
    HttpReply handle(const IncomingRequest& request);

private:
    HttpReply route(const QString& command, const IncomingRequest& request);
    HttpReply addFault(const QByteArray& body);
    HttpReply notes() const;
    HttpReply setOptions(const QByteArray& body);

    static HttpReply ok();
    static HttpReply error(int status, const QString& message);
    static HttpReply jsonReply(int status, const QByteArray& json);

    FaultQueue& m_faults;
    RequestLog& m_requests;
    SessionStore& m_sessions;
    NotesDatabase& m_database;
    ApiOptions& m_options;
};
