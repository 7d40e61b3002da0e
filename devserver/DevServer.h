#pragma once

#include "AdminApi.h"
#include "ApiHandler.h"
#include "FaultQueue.h"
#include "RequestLog.h"
#include "SessionStore.h"

#include <QAbstractHttpServer>

class NotesDatabase;

// The HTTPS server: routes /__admin/ calls to AdminApi and everything else, by the ending
// "/api/<script>" of its path (any prefix before it is accepted), to ApiHandler, after recording
// the request and letting an injected fault answer it instead. Answers that a fault delays are
// sent from a timer, and slow or large answers are written piece by piece as the connection
// takes them, so other requests are served meanwhile.
class DevServer : public QAbstractHttpServer
{
    Q_OBJECT

public:
    DevServer(NotesDatabase& database, int sessionLifetimeSeconds, const ApiOptions& options,
              QObject* parent = nullptr);

    // Listens on 127.0.0.1 and then on ::1 with the same port (the one picked for 127.0.0.1
    // when port is 0). Returns the port, or 0 when 127.0.0.1 could not be bound; a failure on
    // ::1 only warns.
    quint16 listenOnLoopback(quint16 port);

    // The script a path asks for: what follows its last "/api/", or empty when the path has no
    // "/api/" or more path segments follow it.
    static QString scriptOf(const QString& path);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void handleAdmin(const IncomingRequest& request, QTcpSocket* socket);
    void handleApi(const IncomingRequest& request, QTcpSocket* socket);
    void applyFault(const Fault& fault, const IncomingRequest& request, QTcpSocket* socket);
    HttpReply process(const IncomingRequest& request, const QString& script,
                      const FormDecoder::Fields& form);
    // Logs the status once the last byte is on its way, or "gone" when the client left first.
    void send(QTcpSocket* socket, const IncomingRequest& request, const HttpReply& reply,
              int bytesPerSecond = 0);
    void drop(QTcpSocket* socket, const IncomingRequest& request);
    static void logLine(const IncomingRequest& request, const QByteArray& outcome);

    ApiOptions m_options;
    SessionStore m_sessions;
    FaultQueue m_faults;
    RequestLog m_requests;
    ApiHandler m_api;
    AdminApi m_admin;
};
