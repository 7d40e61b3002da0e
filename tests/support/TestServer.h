#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class QTemporaryDir;

// Runs notes-devserver as a child process for one test and talks to its /__admin/ hooks.
// The admin calls block on their own TLS socket and never spin the Qt event loop, so client
// work queued by a test does not run inside them.
class TestServer
{
public:
    TestServer();
    ~TestServer(); // stops the process (terminate, then kill)
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Uses a fresh temporary directory as --data-dir, --port 0 and the certificate the build
    // made for the tests (NOTES_TEST_CERT, NOTES_TEST_KEY); waits (at most 20 s) for the port
    // line. Arguments in extraArgs come later on the command line and win over these defaults.
    bool start(const QStringList& extraArgs = {});
    // Starts again on the same port, presenting the test certificate <name>.pem and its key
    // (see TestCertificate.cmake): the same server after a change of key.
    bool restartWith(const QString& certName);
    void stop();

    quint16 port() const;
    QString host() const; // "localhost:<port>", what a user would type as host

    bool injectFault(const QJsonObject& fault);
    // The next request that matches gets its real answer only after delayMs.
    bool delayAnswer(const QJsonObject& match, int delayMs);
    bool clearFaults();
    QJsonArray requests();
    bool clearRequests();
    // Raw request bodies in arrival order, optionally only those of one action.
    QList<QByteArray> requestBodies(const QString& action = {});
    QJsonArray notes();
    // Changes the server's answer options, e.g. {"addNoteAnswersId": true}.
    bool setOptions(const QJsonObject& options);
    QByteArray serverLog() const; // standard error of the running (or last) server process

private:
    struct AdminReply
    {
        int status = 0;
        QByteArray body;
    };

    AdminReply adminCall(const QByteArray& method, const QString& path,
                         const QByteArray& body = {});
    bool adminCommand(const QByteArray& method, const QString& path, const QByteArray& body = {});
    QJsonArray adminArray(const QString& path);
    bool waitForPortLine();

    std::unique_ptr<QTemporaryDir> m_ownDir;
    // Standard error goes to a file here, so the server never blocks on a full pipe while a
    // test runs no event loop.
    std::unique_ptr<QTemporaryDir> m_logDir;
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
};
