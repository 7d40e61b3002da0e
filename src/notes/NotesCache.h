#pragma once

#include "Note.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <optional>
#include <utility>

class QSqlDatabase;

// The offline copy of one account: the last client and project lists as the server sent them,
// the last unfiltered notes list, and when each was loaded, in an SQLite file of its own under
// $XDG_CACHE_HOME/notes-client/ (owner-only). A file that is damaged, of another schema or of
// another account is set aside with one printed line and started afresh. Reads happen on the
// calling thread; writes on a thread of the copy's own, in the order given.
class NotesCache
{
public:
    NotesCache();
    ~NotesCache();
    NotesCache(const NotesCache&) = delete;
    NotesCache& operator=(const NotesCache&) = delete;

    // Switches to the copy of this account.
    void openAccount(const QString& host, const QString& path, const QString& login);
    bool isOpen() const { return !m_connection.isEmpty(); }
    // Where the last opening moved an unusable file, or empty; cleared by the call.
    QString takeSetAside() { return std::exchange(m_setAside, QString()); }
    QString filePath() const { return m_filePath; }

    struct Snapshot
    {
        QByteArray clientsXml;
        QByteArray projectsXml;
        QList<Note> notes;
        QDateTime loadedAt; // of the notes; invalid when there are none
    };
    std::optional<Snapshot> load() const;
    // The notes of the copy whose text, client and project each hold their keyword anywhere, in
    // any case; nothing without a copy.
    std::optional<QList<Note>> search(const QString& noteKeyword, const QString& clientKeyword,
                                      const QString& projectKeyword) const;

    // A list answer as it came ("clients" or "projects").
    void storeList(const QString& name, const QByteArray& xml);
    // An unfiltered load replaces every note; a search or a reload with keywords updates the
    // notes it brings, by NoteID.
    void storeNotes(const QList<Note>& notes, bool unfiltered);
    // A confirmed save or delete.
    void updateNote(const Note& note);
    void removeNote(const QString& noteId);
    // Deletes the copy of the open account.
    void forget();
    // Returns once every write given so far is in the file.
    void waitForWrites();

    static constexpr int SchemaVersion = 1;

private:
    bool openFile();
    static bool createSchema(QSqlDatabase& db, const QString& host, const QString& path,
                             const QString& login);
    void close();
    void write(std::function<bool(QSqlDatabase&)> task);

    QString m_connection;
    QString m_filePath;
    QString m_setAside;
    QString m_host, m_path, m_login;
    bool m_empty = false; // made by this opening, and nothing stored in it since
    mutable QThreadPool m_writer;
};
