#pragma once

#include <QString>

#include <optional>

class QCoreApplication;

// The command line of notes-devserver.
class ServerOptions
{
public:
    // Handles --help and --version itself (printing and exiting). Returns nothing after writing
    // the reason to *error when an option has a wrong value.
    static std::optional<ServerOptions> parse(const QCoreApplication& app, QString* error);

    quint16 port = 8443;
    QString dataDir = QStringLiteral("devserver-data");
    QString certFile;
    QString keyFile;
    int sessionLifetimeSeconds = 3600;
    bool addNoteAnswersId = false;
    // Replace the database's notes with this many canned ones at start; -1 keeps them.
    int seedNotes = -1;
    // See ApiOptions::notesLimit.
    int notesLimit = -1;
    // See ApiOptions::loginDelayMs.
    int loginDelayMs = 0;
};
