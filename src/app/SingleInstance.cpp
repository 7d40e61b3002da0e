#include "SingleInstance.h"

#include "Diagnostics.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {
QString runtimeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}
} // namespace

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent), m_socketPath(runtimeFolder() + QStringLiteral("/notes-client.socket")),
      m_lock(runtimeFolder() + QStringLiteral("/notes-client.lock"))
{
    // Held as long as the program runs: only a holder that no longer runs makes it stale.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    if (runtimeFolder().isEmpty())
        return true;
    if (m_lock.tryLock(0)) {
        QLocalServer::removeServer(m_socketPath); // left by a holder that crashed
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        if (!m_server.listen(m_socketPath))
            qCWarning(notesLog) << "a second start cannot reach this one:"
                                << m_server.errorString();
        return true;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        qCWarning(notesLog) << "the lock file" << runtimeFolder()
                            << "cannot be used; more than one client may run";
        return true;
    }
    // The first one may still be starting: it listens a moment after it took the lock.
    for (int attempt = 0; attempt < 20; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(500)) {
            socket.write(RaiseWish);
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            qCInfo(notesLog) << "the client already runs; its window was asked to show";
            return false;
        }
        QThread::msleep(100);
    }
    qCWarning(notesLog) << "the client already runs but does not answer";
    return false;
}

void SingleInstance::takeConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            while (socket->canReadLine())
                if (socket->readLine() == RaiseWish)
                    emit raiseRequested();
        });
    }
}
