#include "NotesDatabase.h"

#include "DemoData.h"
#include "PasswordHash.h"

#include <QCollator>
#include <QDir>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>

namespace {

const QString NoteColumns = QStringLiteral(
    "SELECT n.id, n.note, n.client_id, COALESCE(c.name, ''), n.project_id, COALESCE(p.name, ''), "
    "n.datetime_create FROM notes n LEFT JOIN clients c ON c.id = n.client_id "
    "LEFT JOIN projects p ON p.id = n.project_id");

// fold_case(text): the text case-folded the way QString folds it. SQLite's LIKE ignores the case
// of ASCII letters only, so a search for "žilina" would miss "Žilina" without it.
void foldCase(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    if (text == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray folded =
        QString::fromUtf8(text, sqlite3_value_bytes(arguments[0])).toCaseFolded().toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

// A pattern for "LIKE ? ESCAPE '\'" that finds the folded keyword anywhere in a folded text;
// a "%", "_" or "\" in the keyword stands for itself.
QString containsPattern(const QString& keyword)
{
    QString escaped = keyword.toCaseFolded();
    escaped.replace(u'\\', QLatin1String("\\\\"));
    escaped.replace(u'%', QLatin1String("\\%"));
    escaped.replace(u'_', QLatin1String("\\_"));
    return u'%' + escaped + u'%';
}

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
    if (!addFunctions()) {
        *error = QStringLiteral("cannot add the SQL function fold_case");
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

bool NotesDatabase::addFunctions()
{
    const QVariant handle = m_db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3* const connection = *static_cast<sqlite3* const*>(handle.constData());
    return connection != nullptr &&
           sqlite3_create_function_v2(connection, "fold_case", 1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, foldCase,
                                      nullptr, nullptr, nullptr) == SQLITE_OK;
}

QList<NoteRecord> NotesDatabase::queryNotes(const QString& sql, const QVariantList& values) const
{
    QSqlQuery query(m_db);
    query.prepare(sql);
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
    QList<NoteRecord> notes;
    if (!query.exec())
        return notes;
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
    QStringList conditions;
    QVariantList values;
    const auto filter = [&](const char* column, const QString& keyword) {
        if (keyword.isEmpty())
            return;
        conditions.append(
            QStringLiteral("fold_case(%1) LIKE ? ESCAPE '\\'").arg(QLatin1String(column)));
        values.append(containsPattern(keyword));
    };
    filter("n.note", search.noteKeyword);
    filter("c.name", search.clientKeyword);
    filter("p.name", search.projectKeyword);
    QString sql = NoteColumns;
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY n.datetime_create DESC, n.id DESC LIMIT ?");
    values.append(search.limit);
    return queryNotes(sql, values);
}

QList<NoteRecord> NotesDatabase::allNotes() const
{
    return queryNotes(NoteColumns + QStringLiteral(" ORDER BY n.id"), {});
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

bool NotesDatabase::replaceWithCannedNotes(int count)
{
    m_db.transaction();
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("DELETE FROM notes")) ||
        !DemoData::seedCannedNotes(m_db, count)) {
        m_db.rollback();
        return false;
    }
    return m_db.commit();
}
