#include "ServerOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

std::optional<ServerOptions> ServerOptions::parse(const QCoreApplication& app, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Local HTTPS stand-in for the notes web service. Prints the port on the first line of "
        "standard output, logs one line per request on standard error."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port on 127.0.0.1 and ::1 (0 picks a free one)."),
                                  QStringLiteral("N"), QStringLiteral("8443"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Directory of the database and certificate."),
                                     QStringLiteral("DIR"), QStringLiteral("devserver-data"));
    const QCommandLineOption cert(QStringLiteral("cert"),
                                  QStringLiteral("PEM certificate (instead of a generated one)."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("PEM private key."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption lifetime(
        QStringLiteral("session-lifetime"),
        QStringLiteral("Seconds a session stays valid after its last use."),
        QStringLiteral("SECONDS"), QStringLiteral("3600"));
    const QCommandLineOption answerId(
        QStringLiteral("add-answer-id"),
        QStringLiteral("add_note answers the new note's id as \"NoteID\"."));
    const QCommandLineOption seedNotes(
        QStringLiteral("seed-notes"),
        QStringLiteral("Replace the notes with N canned ones at start (for benchmarks)."),
        QStringLiteral("N"));
    const QCommandLineOption notesLimit(
        QStringLiteral("notes-limit"),
        QStringLiteral("A notes search answers at most N notes, whatever limit it asks for."),
        QStringLiteral("N"));
    const QCommandLineOption loginDelay(
        QStringLiteral("login-delay-ms"),
        QStringLiteral("Answer every login MS milliseconds later, as a real password check takes "
                       "(for benchmarks)."),
        QStringLiteral("MS"));
    parser.addOptions(
        {port, dataDir, cert, key, lifetime, answerId, seedNotes, notesLimit, loginDelay});
    parser.process(app);

    ServerOptions options;
    bool portOk = false;
    bool lifetimeOk = false;
    const uint portValue = parser.value(port).toUInt(&portOk);
    options.port = quint16(portValue);
    options.dataDir = parser.value(dataDir);
    options.certFile = parser.value(cert);
    options.keyFile = parser.value(key);
    options.addNoteAnswersId = parser.isSet(answerId);
    options.sessionLifetimeSeconds = parser.value(lifetime).toInt(&lifetimeOk);
    // A count that is given must be a whole number, 0 or more.
    const auto count = [&parser](const QCommandLineOption& option, int* value) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        *value = parser.value(option).toInt(&ok);
        return ok && *value >= 0;
    };
    const bool seedOk = count(seedNotes, &options.seedNotes);
    const bool limitOk = count(notesLimit, &options.notesLimit);
    const bool delayOk = count(loginDelay, &options.loginDelayMs);
    if (!portOk || portValue > 65535)
        *error = QStringLiteral("--port needs a number from 0 to 65535");
    else if (!lifetimeOk || options.sessionLifetimeSeconds < 0)
        *error = QStringLiteral("--session-lifetime needs a number of seconds");
    else if (!seedOk)
        *error = QStringLiteral("--seed-notes needs a number of notes");
    else if (!limitOk)
        *error = QStringLiteral("--notes-limit needs a number of notes");
    else if (!delayOk)
        *error = QStringLiteral("--login-delay-ms needs a number of milliseconds");
    else if (options.certFile.isEmpty() != options.keyFile.isEmpty())
        *error = QStringLiteral("--cert and --key go together");
    else if (options.dataDir.isEmpty())
        *error = QStringLiteral("--data-dir must not be empty");
    return error->isEmpty() ? std::optional(options) : std::nullopt;
}
