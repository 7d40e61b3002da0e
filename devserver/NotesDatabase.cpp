#include "NotesDatabase.h"

#include "DemoData.h"
#include "PasswordHash.h"

#include <QCollator>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>

namespace {

// Names are ordered as a Slovak reader expects ("Čierny" right after "C..."), ignoring case.
template <typename Record> void sortByName(QList<Record>& records)
{
    QCollator collator(QLocale(QLocale::Slovak, QLocale::Slovakia));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(records.begin(), records.end(), [&collator](const auto& a, const auto& b) {
        return collator.compare(a.name, b.name) < 0;
    });
}

} // namespace

NotesDatabase::NotesDatabase()
    : m_connectionName(QStringLiteral("notes-devserver-") + QUuid::createUuid().toString())
{
}

NotesDatabase::~NotesDatabase()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool NotesDatabase::open(const QString& dataDir, QString* error)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(QDir(dataDir).filePath(QStringLiteral("notes.sqlite")));
    if (!m_db.open()) {
        *error = m_db.lastError().text();
        return false;
    }
    if (!DemoData::createSchema(m_db)) {
        *error = QStringLiteral("cannot create the tables");
        return false;
    }
    if (isEmpty()) {
        m_db.transaction();
        if (!DemoData::seed(m_db)) {
            m_db.rollback();
            *error = QStringLiteral("cannot store the demo data");
            return false;
        }
        m_db.commit();
    }
    return true;
}

bool NotesDatabase::isEmpty() const
{
    QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM users"), m_db);
    return query.next() && query.value(0).toInt() == 0;
}

bool NotesDatabase::checkPassword(const QString& login, const QString& password) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT salt, hash FROM users WHERE login = ?"));
    query.bindValue(0, login);
    if (!query.exec() || !query.next())
        return false;
    return PasswordHash::matches(query.value(0).toString().toLatin1(),
                                 query.value(1).toString().toLatin1(), password);
}

QList<NoteRecord> NotesDatabase::queryNotes(const QString& orderBy) const
{
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("SELECT n.id, n.note, n.client_id, COALESCE(c.name, ''), "
                              "n.project_id, COALESCE(p.name, ''), n.datetime_create FROM notes n "
                              "LEFT JOIN clients c ON c.id = n.client_id "
                              "LEFT JOIN projects p ON p.id = n.project_id ORDER BY ") +
               orderBy);
    QList<NoteRecord> notes;
    while (query.next()) {
        notes.append({query.value(0).toLongLong(), query.value(1).toString(),
                      query.value(2).toLongLong(), query.value(3).toString(),
                      query.value(4).toLongLong(), query.value(5).toString(),
                      query.value(6).toString()});
    }
    return notes;
}

QList<NoteRecord> NotesDatabase::findNotes(const NoteSearch& search) const
{
    QList<NoteRecord> found;
    const QList<NoteRecord> notes = queryNotes(QStringLiteral("n.datetime_create DESC, n.id DESC"));
    for (const NoteRecord& note : notes) {
        if (found.size() >= search.limit)
            break;
        if (note.text.contains(search.noteKeyword, Qt::CaseInsensitive) &&
            note.clientName.contains(search.clientKeyword, Qt::CaseInsensitive) &&
            note.projectName.contains(search.projectKeyword, Qt::CaseInsensitive))
            found.append(note);
    }
    return found;
}

QList<NoteRecord> NotesDatabase::allNotes() const
{
    return queryNotes(QStringLiteral("n.id"));
}

QList<ClientRecord> NotesDatabase::clients(const QString& status, int limit) const
{
    QSqlQuery query(QStringLiteral("SELECT id, name, status FROM clients"), m_db);
    QList<ClientRecord> clients;
    while (query.next()) {
        const ClientRecord client{query.value(0).toLongLong(), query.value(1).toString(),
                                  query.value(2).toInt()};
        if (statusMatches(status, client.status))
            clients.append(client);
    }
    sortByName(clients);
    return clients.mid(0, limit);
}

QList<ProjectRecord> NotesDatabase::projects(const QString& status, int limit) const
{
    QSqlQuery query(QStringLiteral("SELECT p.id, p.name, p.category_id, COALESCE(c.name, ''), "
                                   "p.status FROM projects p LEFT JOIN categories c "
                                   "ON c.id = p.category_id"),
                    m_db);
    QList<ProjectRecord> projects;
    while (query.next()) {
        const ProjectRecord project{query.value(0).toLongLong(), query.value(1).toString(),
                                    query.value(2).toLongLong(), query.value(3).toString(),
                                    query.value(4).toInt()};
        if (statusMatches(status, project.status))
            projects.append(project);
    }
    sortByName(projects);
    return projects.mid(0, limit);
}

bool NotesDatabase::statusMatches(const QString& filter, int status)
{
    if (filter.isEmpty())
        return true;
    bool ok = false;
    const int wanted = filter.toInt(&ok);
    return ok && wanted == status;
}

qint64 NotesDatabase::addNote(const NoteFields& fields, const QString& created)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO notes (note, client_id, project_id, "
                                 "datetime_create) VALUES (?, ?, ?, ?)"));
    query.bindValue(0, fields.text);
    query.bindValue(1, fields.clientId);
    query.bindValue(2, fields.projectId);
    query.bindValue(3, created);
    if (!query.exec())
        return 0;
    return query.lastInsertId().toLongLong();
}

bool NotesDatabase::updateNote(qint64 id, const NoteFields& fields)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE notes SET note = ?, client_id = ?, project_id = ? "
                                 "WHERE id = ?"));
    query.bindValue(0, fields.text);
    query.bindValue(1, fields.clientId);
    query.bindValue(2, fields.projectId);
    query.bindValue(3, id);
    return query.exec() && query.numRowsAffected() > 0;
}

bool NotesDatabase::deleteNote(qint64 id)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM notes WHERE id = ?"));
    query.bindValue(0, id);
    return query.exec() && query.numRowsAffected() > 0;
}
