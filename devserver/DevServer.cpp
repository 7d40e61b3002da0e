#include "DevServer.h"

#include "ReplyWriter.h"
#include "ServerContract.h"

#include <QHttpServerRequest>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

DevServer::DevServer(NotesDatabase& database, int sessionLifetimeSeconds, const ApiOptions& options,
                     QObject* parent)
    : QAbstractHttpServer(parent), m_options(options), m_sessions(sessionLifetimeSeconds),
      m_api(database, m_sessions, m_options),
      m_admin(m_faults, m_requests, m_sessions, database, m_options)
{
}

quint16 DevServer::listenOnLoopback(quint16 port)
{
    const quint16 bound = listen(QHostAddress::LocalHost, port);
    if (bound == 0)
        return 0;
    if (listen(QHostAddress::LocalHostIPv6, bound) == 0)
        std::fprintf(stderr, "warning: cannot listen on [::1]:%u, serving IPv4 only\n", bound);
    return bound;
}

QString DevServer::scriptOf(const QString& path)
{
    const qsizetype at = path.lastIndexOf(QLatin1String(ServerContract::ApiDirectory));
    if (at < 0)
        return QString();
    const QString script = path.mid(at + qsizetype(sizeof(ServerContract::ApiDirectory)) - 1);
    return script.contains(u'/') ? QString() : script;
}

bool DevServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const IncomingRequest incoming = IncomingRequest::from(request);
    if (AdminApi::isAdminPath(incoming.path))
        handleAdmin(incoming, socket);
    else
        handleApi(incoming, socket);
    return true;
}

void DevServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    send(socket, IncomingRequest::from(request), HttpReply::plain(404, "Not Found\n"));
}

void DevServer::handleAdmin(const IncomingRequest& request, QTcpSocket* socket)
{
    send(socket, request, m_admin.handle(request));
}

void DevServer::handleApi(const IncomingRequest& request, QTcpSocket* socket)
{
    const QString script = scriptOf(request.path);
    const FormDecoder::Fields form = FormDecoder::decode(request.body);
    m_requests.record(request, script, form.value(ServerContract::Form::Action));
    if (const auto fault = m_faults.take(script, form))
        return applyFault(*fault, request, socket);
    if (script != QLatin1String(ServerContract::Script::Login) || m_options.loginDelayMs <= 0)
        return send(socket, request, process(request, script, form));
    const QPointer<QTcpSocket> connection(socket);
    QTimer::singleShot(m_options.loginDelayMs, this, [this, request, script, form, connection] {
        if (connection)
            send(connection, request, process(request, script, form));
    });
}

void DevServer::applyFault(const Fault& fault, const IncomingRequest& request, QTcpSocket* socket)
{
    const QPointer<QTcpSocket> connection(socket);
    QTimer::singleShot(fault.delayMs, this, [this, fault, request, connection] {
        if (!connection) {
            logLine(request, "gone");
            return;
        }
        if (fault.drop) {
            drop(connection, request);
            return;
        }
        const HttpReply reply = fault.passThrough ? process(request, scriptOf(request.path),
                                                            FormDecoder::decode(request.body))
                                                  : fault.reply();
        send(connection, request, fault.shape(reply), fault.trickleBytesPerSecond);
    });
}

HttpReply DevServer::process(const IncomingRequest& request, const QString& script,
                             const FormDecoder::Fields& form)
{
    if (!ApiHandler::isKnownScript(script))
        return HttpReply::plain(404, "Not Found\n");
    if (!request.isPost()) {
        HttpReply reply = HttpReply::plain(405, "Method Not Allowed\n");
        reply.extraHeaders.append(std::pair<QByteArray, QByteArray>("Allow", "POST"));
        return reply;
    }
    return m_api.handle(script, form);
}

void DevServer::send(QTcpSocket* socket, const IncomingRequest& request, const HttpReply& reply,
                     int bytesPerSecond)
{
    const QByteArray status = QByteArray::number(reply.status);
    ReplyWriter::start(socket, reply, request.closeConnection, bytesPerSecond,
                       [request, status](bool written) {
                           logLine(request, written ? status : QByteArrayLiteral("gone"));
                       });
}

// Closes the connection without a byte of answer, in order (TLS close_notify, then FIN). A
// QNetworkAccessManager client answered so resends the request once before it reports
// RemoteHostClosedError; after a reset instead, the number of its attempts varies.
void DevServer::drop(QTcpSocket* socket, const IncomingRequest& request)
{
    socket->disconnectFromHost();
    logLine(request, "dropped");
}

void DevServer::logLine(const IncomingRequest& request, const QByteArray& outcome)
{
    const QString action = FormDecoder::decode(request.body).value(ServerContract::Form::Action);
    QByteArray line = request.method + ' ' + request.path.toUtf8();
    if (!action.isEmpty() && !AdminApi::isAdminPath(request.path))
        line += " action=" + action.toUtf8();
    line += ' ' + outcome;
    for (char& c : line) {
        if (uchar(c) < 0x20)
            c = '?';
    }
    line += '\n';
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}
