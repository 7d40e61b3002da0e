#include "NetworkTransport.h"

#include "ServerTrust.h"
#include "TransportCall.h"

#include <QTimer>

NetworkTransport::NetworkTransport(ServerTrust& trust, QObject* parent)
    : QObject(parent), m_trust(trust), m_worker(new NetworkWorker(trust))
{
    m_thread.setObjectName(QStringLiteral("notes network"));
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &NetworkWorker::ended, this, &NetworkTransport::ended);
    connect(&m_trust, &ServerTrust::recordChanged, this, [this]() {
        m_dropWhenIdle = true;
        dropConnectionsWhenIdle();
    });
    m_thread.start();
}

// Requests still in flight end with the worker; their calls deliver nothing.
NetworkTransport::~NetworkTransport()
{
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void NetworkTransport::openConnections(const QUrl& url, int count)
{
    if (url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return;
    dropOldConnections();
    m_trust.prepareFor(url);
    QMetaObject::invokeMethod(m_worker,
                              [worker = m_worker, host = url.host(), port = quint16(url.port(443)),
                               count]() { worker->openConnections(host, port, count); });
}

TransportCall* NetworkTransport::post(const QUrl& url, const QByteArray& body, Resend resend)
{
    dropOldConnections();
    m_trust.prepareFor(url);
    const quint64 id = ++m_lastId;
    auto* call = new TransportCall([self = QPointer<NetworkTransport>(this), id]() {
        if (self)
            QMetaObject::invokeMethod(self->m_worker,
                                      [worker = self->m_worker, id]() { worker->abort(id); });
    });
    m_calls.insert(id, call);
    if (m_calls.size() == 1)
        emit busyChanged(true);
    // Answers come back through ended(), queued: even one produced at once reaches the caller
    // only after this call has returned.
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, id, url, body, mayResend = resend == Resend::Allowed,
                   limits = m_limits]() { worker->start(id, url, body, mayResend, limits); });
    return call;
}

void NetworkTransport::ended(quint64 id, const ApiAnswer& answer)
{
    const QPointer<TransportCall> call = m_calls.take(id);
    if (call)
        call->deliver(answer); // an aborted call delivers nothing
    if (m_calls.isEmpty()) {
        emit busyChanged(false);
        if (m_dropWhenIdle)
            dropConnectionsWhenIdle();
    }
}

// A connection opened while another host was saved may have been trusted under the old rule;
// once the saved host changes, new requests must go through a fresh handshake.
// A request in flight keeps its connection: the old server's connections go once nothing is in
// flight any more.
void NetworkTransport::dropOldConnections()
{
    const QString saved = m_trust.savedHost();
    if (saved != m_lastSavedHost) {
        m_lastSavedHost = saved;
        m_dropWhenIdle = true;
    }
    if (m_dropWhenIdle && m_calls.isEmpty()) {
        m_dropWhenIdle = false;
        QMetaObject::invokeMethod(m_worker, [worker = m_worker]() { worker->dropConnections(); });
    }
}

// Clearing the connection cache stops Qt's HTTP thread, and a request in flight then never
// ends; so connections are dropped once nothing is in flight, from the event loop.
void NetworkTransport::dropConnectionsWhenIdle()
{
    QTimer::singleShot(0, this, [this]() {
        if (m_dropWhenIdle && m_calls.isEmpty()) {
            m_dropWhenIdle = false;
            QMetaObject::invokeMethod(m_worker,
                                      [worker = m_worker]() { worker->dropConnections(); });
        }
    });
}
