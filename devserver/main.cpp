#include "DevServer.h"
#include "NotesDatabase.h"
#include "ServerOptions.h"
#include "SignalWatcher.h"
#include "TlsCredentials.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "notes-devserver: %s\n", qPrintable(message));
    return 1;
}

bool prepareDataDir(const QString& path)
{
    if (QDir(path).exists())
        return true;
    return QDir().mkpath(path) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

std::optional<QSslConfiguration> credentials(const ServerOptions& options, QString* error)
{
    if (!options.certFile.isEmpty())
        return TlsCredentials::load(options.certFile, options.keyFile, error);
    return TlsCredentials::forDataDir(options.dataDir, error);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("notes-devserver"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QString error;
    const auto options = ServerOptions::parse(app, &error);
    if (!options)
        return fail(error) + 1;
    SignalWatcher signalWatcher;
    if (!prepareDataDir(options->dataDir))
        return fail(QStringLiteral("cannot create %1").arg(options->dataDir));
    NotesDatabase database;
    if (!database.open(options->dataDir, &error))
        return fail(QStringLiteral("database: %1").arg(error));
    if (options->seedNotes >= 0 && !database.replaceWithCannedNotes(options->seedNotes))
        return fail(QStringLiteral("cannot store %1 canned notes").arg(options->seedNotes));
    const auto tls = credentials(*options, &error);
    if (!tls)
        return fail(error);

    DevServer server(
        database, options->sessionLifetimeSeconds,
        ApiOptions{options->addNoteAnswersId, options->notesLimit, options->loginDelayMs});
    server.sslSetup(*tls); // before listening, or the server would speak plain HTTP
    const quint16 port = server.listenOnLoopback(options->port);
    if (port == 0)
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(options->port));
    std::printf("%u\nnotes-devserver ready at https://localhost:%u/api/\n", port, port);
    std::fflush(stdout);
    return QCoreApplication::exec();
}
