#pragma once

#include "StoreRecords.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

// The server's SQLite database (notes.sqlite in the data directory): users, clients, project
// categories, projects and the company's notes, which every user shares. A new database is
// filled with demo data the first time it is opened.
class NotesDatabase
{
public:
    NotesDatabase();
    ~NotesDatabase();
    NotesDatabase(const NotesDatabase&) = delete;
    NotesDatabase& operator=(const NotesDatabase&) = delete;

    bool open(const QString& dataDir, QString* error);

    bool checkPassword(const QString& login, const QString& password) const;

    // Newest first (datetime_create, then id, descending), at most search.limit notes, filtered
    // in SQL by case-insensitive substrings of the note text, client name and project name; an
    // empty keyword filters nothing.
    QList<NoteRecord> findNotes(const NoteSearch& search) const;
    // Every note in id order, for inspection by the tests.
    QList<NoteRecord> allNotes() const;
    // An empty status matches every row; any other text matches rows with that status.
    QList<ClientRecord> clients(const QString& status, int limit) const;
    QList<ProjectRecord> projects(const QString& status, int limit) const;

    // Returns the new note's id, or 0 when the note could not be stored.
    qint64 addNote(const NoteFields& fields, const QString& created);
    // Both return false when there is no note with that id.
    bool updateNote(qint64 id, const NoteFields& fields);
    bool deleteNote(qint64 id);
    // Replaces every note with count canned ones (DemoData::seedCannedNotes), in one transaction.
    bool replaceWithCannedNotes(int count);

private:
    bool addFunctions();
    QList<NoteRecord> queryNotes(const QString& sql, const QVariantList& values) const;
    bool isEmpty() const;
    static bool statusMatches(const QString& filter, int status);

    QString m_connectionName;
    QSqlDatabase m_db;
};
