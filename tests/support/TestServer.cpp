#include "TestServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int StartTimeoutMs = 20000;
constexpr int AdminTimeoutMs = 15000;

} // namespace

TestServer::TestServer() = default;

TestServer::~TestServer()
{
    stop();
}

bool TestServer::start(const QStringList& extraArgs)
{
    stop();
    m_ownDir = std::make_unique<QTemporaryDir>();
    if (!m_ownDir->isValid())
        return false;
    m_logDir = std::make_unique<QTemporaryDir>();
    m_process = std::make_unique<QProcess>();
    m_process->setStandardErrorFile(m_logDir->filePath(QStringLiteral("stderr.log")));
    m_process->setProgram(QStringLiteral(NOTES_DEVSERVER_PATH));
    m_process->setArguments(QStringList{QStringLiteral("--data-dir"), m_ownDir->path(),
                                        QStringLiteral("--port"), QStringLiteral("0"),
                                        QStringLiteral("--cert"), QStringLiteral(NOTES_TEST_CERT),
                                        QStringLiteral("--key"), QStringLiteral(NOTES_TEST_KEY)} +
                            extraArgs);
    m_process->setReadChannel(QProcess::StandardOutput);
    m_process->start();
    if (!m_process->waitForStarted(StartTimeoutMs) || !waitForPortLine()) {
        stop();
        return false;
    }
    return true;
}

bool TestServer::restartWith(const QString& certName)
{
    const QString dir = QStringLiteral(NOTES_TEST_CERT_DIR "/");
    QString key = certName;
    key.replace(QStringLiteral("cert"), QStringLiteral("key"));
    return start({QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--cert"),
                  dir + certName + QStringLiteral(".pem"), QStringLiteral("--key"),
                  dir + key + QStringLiteral(".pem")});
}

bool TestServer::waitForPortLine()
{
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!m_process->canReadLine()) {
        if (m_process->state() != QProcess::Running || deadline.hasExpired())
            return false;
        m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    bool ok = false;
    const uint port = m_process->readLine().trimmed().toUInt(&ok);
    m_port = ok && port > 0 && port <= 65535 ? quint16(port) : 0;
    return m_port != 0;
}

void TestServer::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    m_process.reset();
    m_port = 0;
}

quint16 TestServer::port() const
{
    return m_port;
}

QString TestServer::host() const
{
    return QStringLiteral("localhost:%1").arg(m_port);
}

bool TestServer::injectFault(const QJsonObject& fault)
{
    return adminCommand("POST", QStringLiteral("faults"), QJsonDocument(fault).toJson());
}

bool TestServer::delayAnswer(const QJsonObject& match, int delayMs)
{
    return injectFault({{"match", match}, {"delayMs", delayMs}, {"passThrough", true}});
}

bool TestServer::clearFaults()
{
    return adminCommand("DELETE", QStringLiteral("faults"));
}

QJsonArray TestServer::requests()
{
    return adminArray(QStringLiteral("requests"));
}

bool TestServer::clearRequests()
{
    return adminCommand("DELETE", QStringLiteral("requests"));
}

QList<QByteArray> TestServer::requestBodies(const QString& action)
{
    QList<QByteArray> bodies;
    const QJsonArray entries = requests();
    for (const QJsonValue& entry : entries) {
        const QJsonObject request = entry.toObject();
        if (action.isEmpty() || request.value(QLatin1String("action")).toString() == action)
            bodies.append(request.value(QLatin1String("body")).toString().toUtf8());
    }
    return bodies;
}

QJsonArray TestServer::notes()
{
    return adminArray(QStringLiteral("notes"));
}

bool TestServer::setOptions(const QJsonObject& options)
{
    return adminCommand("POST", QStringLiteral("options"), QJsonDocument(options).toJson());
}

QByteArray TestServer::serverLog() const
{
    if (!m_logDir)
        return {};
    QFile log(m_logDir->filePath(QStringLiteral("stderr.log")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

bool TestServer::adminCommand(const QByteArray& method, const QString& path, const QByteArray& body)
{
    const AdminReply reply = adminCall(method, path, body);
    return reply.status == 200 && QJsonDocument::fromJson(reply.body)["ok"].toBool();
}

QJsonArray TestServer::adminArray(const QString& path)
{
    const AdminReply reply = adminCall("GET", path);
    return reply.status == 200 ? QJsonDocument::fromJson(reply.body).array() : QJsonArray();
}

// The server closes the connection after its answer ("Connection: close"), so the answer is
// everything read until then.
TestServer::AdminReply TestServer::adminCall(const QByteArray& method, const QString& path,
                                             const QByteArray& body)
{
    if (m_port == 0)
        return {};
    QSslSocket socket;
    socket.setPeerVerifyMode(QSslSocket::VerifyNone); // the server's certificate is self-signed
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_port);
    if (!socket.waitForEncrypted(AdminTimeoutMs))
        return {};
    socket.write(method + " /__admin/" + path.toUtf8() + " HTTP/1.1\r\nHost: " + host().toUtf8() +
                 "\r\nConnection: close\r\nContent-Type: application/json\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray raw;
    const QDeadlineTimer deadline(AdminTimeoutMs);
    while (socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
        raw += socket.readAll();
    raw += socket.readAll();
    const qsizetype end = raw.indexOf("\r\n\r\n");
    if (end < 0)
        return {};
    return {raw.left(raw.indexOf("\r\n")).split(' ').value(1).toInt(), raw.mid(end + 4)};
}
