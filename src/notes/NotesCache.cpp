#include "NotesCache.h"

#include "AccountFiles.h"
#include "Console.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {
// The columns of a cached note, in table order.
const QList<std::pair<const char*, QString Note::*>> NoteColumns{
    {"id", &Note::id},
    {"note", &Note::note},
    {"date_time_create", &Note::dateTimeCreate},
    {"created_text", &Note::createdText},
    {"real_estate", &Note::realEstate},
    {"real_estate_id", &Note::realEstateId},
    {"project", &Note::project},
    {"project_id", &Note::projectId},
    {"task", &Note::task},
    {"task_id", &Note::taskId},
    {"group_name", &Note::group},
    {"group_id", &Note::groupId},
    {"client", &Note::client},
    {"client_id", &Note::clientId},
    {"order_name", &Note::order},
    {"order_id", &Note::orderId},
};

QString columnList()
{
    QStringList names;
    for (const auto& [name, member] : NoteColumns)
        names << QLatin1String(name);
    return names.join(u',');
}

// Inserts or replaces notes; a note named at a position goes there, another new one last, and a
// known one keeps its place unless a position is given.
void prepareUpsert(QSqlQuery& query, bool positioned)
{
    QStringList sets;
    for (const auto& [name, member] : NoteColumns)
        sets << QStringLiteral("%1=excluded.%1").arg(QLatin1String(name));
    if (positioned)
        sets << QStringLiteral("position=excluded.position");
    query.prepare(
        QStringLiteral(
            "INSERT INTO notes (%1,position) VALUES (%2%3) ON CONFLICT(id) DO UPDATE SET %4")
            .arg(columnList(), QString(QStringLiteral("?,")).repeated(NoteColumns.size()),
                 positioned ? QStringLiteral("?")
                            : QStringLiteral("(SELECT IFNULL(MAX(position),0)+1 FROM notes)"),
                 sets.join(u',')));
}

bool upsert(QSqlQuery& query, const Note& note, std::optional<qint64> position)
{
    for (int i = 0; i < NoteColumns.size(); ++i)
        query.bindValue(i, note.*(NoteColumns.at(i).second));
    if (position)
        query.bindValue(int(NoteColumns.size()), *position);
    return query.exec();
}
} // namespace

NotesCache::NotesCache()
{
    m_writer.setMaxThreadCount(1);
    m_writer.setExpiryTimeout(-1);
}

NotesCache::~NotesCache()
{
    close();
}

void NotesCache::close()
{
    m_empty = false;
    if (m_connection.isEmpty())
        return;
    // The writer's connection belongs to its thread and is closed there, after every write.
    const QString writerConnection = m_connection + QStringLiteral("-writer");
    m_writer.start([writerConnection]() {
        if (!QSqlDatabase::contains(writerConnection))
            return;
        QSqlDatabase::database(writerConnection, false).close();
        QSqlDatabase::removeDatabase(writerConnection);
    });
    m_writer.waitForDone();
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

// Writes run one after another on a thread of their own, with a connection of their own, so a
// long list is stored without holding up the window.
void NotesCache::write(std::function<bool(QSqlDatabase&)> task)
{
    if (!isOpen())
        return;
    m_empty = false;
    const QString connection = m_connection + QStringLiteral("-writer");
    const QString filePath = m_filePath;
    m_writer.start([connection, filePath, task = std::move(task)]() {
        if (!QSqlDatabase::contains(connection)) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(filePath);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
            // Writes go straight through; a small page cache keeps a long list's memory low.
            if (db.open())
                QSqlQuery(db).exec(QStringLiteral("PRAGMA cache_size = -256"));
        }
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        if (!db.isOpen() || !db.transaction())
            return;
        if (task(db) && db.commit())
            return;
        const QString error = db.lastError().text();
        db.rollback();
        QMetaObject::invokeMethod(qApp, [error]() {
            Console::diagnose(
                QStringLiteral("the offline copy could not be written: %1").arg(error));
        });
    });
}

void NotesCache::waitForWrites()
{
    m_writer.waitForDone();
}

void NotesCache::openAccount(const QString& host, const QString& path, const QString& login)
{
    const QString filePath =
        AccountFiles::filePath(QStandardPaths::GenericCacheLocation, host, path, login, QString(),
                               QStringLiteral(".sqlite"));
    if (filePath == m_filePath && isOpen())
        return;
    close();
    m_filePath = filePath;
    m_host = host;
    m_path = path;
    m_login = login;
    if (openFile())
        return;
    // Whatever is in the way goes aside once; a second failure leaves the client without a copy
    // rather than in a loop.
    close();
    if (!QFile::exists(m_filePath))
        return;
    m_setAside =
        AccountFiles::setAside(m_filePath, QStringLiteral("offline copy"),
                               QStringLiteral("damaged, of another version or of another account"));
    if (!openFile())
        close();
}

// Opens the file (made owner-only before SQLite touches it, so its journals inherit that) and
// checks that it is a copy of this schema and this account. A new file gets the schema as the
// first of the writes, so the window that opens it does not wait for the disk; until then there
// is nothing to load from it.
bool NotesCache::openFile()
{
    const bool fresh = !QFile::exists(m_filePath);
    if (fresh) {
        QFile file(m_filePath);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    m_connection = QStringLiteral("notes-cache-") + QUuid::createUuid().toString(QUuid::Id128);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_filePath);
    if (!db.open())
        return false;
    if (fresh) {
        write([host = m_host, path = m_path, login = m_login](QSqlDatabase& writer) {
            return createSchema(writer, host, path, login);
        });
        m_empty = true;
        return true;
    }
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next() ||
        version.value(0).toInt() != SchemaVersion)
        return false;
    QSqlQuery account(db);
    return account.exec(QStringLiteral("SELECT host, path, login FROM account")) &&
           account.next() && account.value(0).toString() == m_host &&
           account.value(1).toString() == m_path && account.value(2).toString() == m_login;
}

bool NotesCache::createSchema(QSqlDatabase& db, const QString& host, const QString& path,
                              const QString& login)
{
    const auto exec = [&db](const QString& sql) { return QSqlQuery(db).exec(sql); };
    QStringList columns;
    for (const auto& [name, member] : NoteColumns)
        columns << QLatin1String(name) + (columns.isEmpty() ? QStringLiteral(" TEXT PRIMARY KEY")
                                                            : QStringLiteral(" TEXT"));
    if (!exec(QStringLiteral("CREATE TABLE account (host TEXT, path TEXT, login TEXT)")) ||
        !exec(QStringLiteral("CREATE TABLE lists (name TEXT PRIMARY KEY, xml BLOB)")) ||
        !exec(QStringLiteral("CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT)")) ||
        !exec(QStringLiteral("CREATE TABLE notes (%1, position INTEGER)").arg(columns.join(u','))))
        return false;
    QSqlQuery account(db);
    account.prepare(QStringLiteral("INSERT INTO account (host, path, login) VALUES (?, ?, ?)"));
    account.addBindValue(host);
    account.addBindValue(path);
    account.addBindValue(login);
    return account.exec() && exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
}

std::optional<NotesCache::Snapshot> NotesCache::load() const
{
    if (!isOpen() || m_empty)
        return std::nullopt;
    m_writer.waitForDone();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    Snapshot snapshot;
    QSqlQuery lists(db);
    if (lists.exec(QStringLiteral("SELECT name, xml FROM lists"))) {
        while (lists.next())
            (lists.value(0).toString() == QLatin1String("clients") ? snapshot.clientsXml
                                                                   : snapshot.projectsXml) =
                lists.value(1).toByteArray();
    }
    QSqlQuery loaded(db);
    if (loaded.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'notes_loaded_at'")) &&
        loaded.next())
        snapshot.loadedAt = QDateTime::fromString(loaded.value(0).toString(), Qt::ISODate);
    QSqlQuery notes(db);
    if (!notes.exec(QStringLiteral("SELECT %1 FROM notes ORDER BY position").arg(columnList())))
        return std::nullopt;
    while (notes.next()) {
        Note& note = snapshot.notes.emplace_back();
        for (int i = 0; i < NoteColumns.size(); ++i)
            note.*(NoteColumns.at(i).second) = notes.value(i).toString();
    }
    if (!snapshot.loadedAt.isValid())
        return std::nullopt;
    return snapshot;
}

std::optional<QList<Note>> NotesCache::search(const QString& noteKeyword,
                                              const QString& clientKeyword,
                                              const QString& projectKeyword) const
{
    const std::optional<Snapshot> copy = load();
    if (!copy)
        return std::nullopt;
    const auto has = [](const QString& text, const QString& keyword) {
        return text.contains(keyword, Qt::CaseInsensitive);
    };
    QList<Note> found;
    for (const Note& n : copy->notes)
        if (has(n.note, noteKeyword) && has(n.client, clientKeyword) &&
            has(n.project, projectKeyword))
            found.append(n);
    return found;
}

void NotesCache::storeList(const QString& name, const QByteArray& xml)
{
    write([name, xml](QSqlDatabase& db) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO lists (name, xml) VALUES (?, ?)"));
        query.addBindValue(name);
        query.addBindValue(xml);
        return query.exec();
    });
}

void NotesCache::storeNotes(const QList<Note>& notes, bool unfiltered)
{
    const QString loadedAt = QDateTime::currentDateTime().toString(Qt::ISODate);
    write([notes, unfiltered, loadedAt](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (unfiltered && !query.exec(QStringLiteral("DELETE FROM notes")))
            return false;
        prepareUpsert(query, unfiltered);
        for (qsizetype i = 0; i < notes.size(); ++i)
            if (!upsert(query, notes.at(i), unfiltered ? std::optional<qint64>(i) : std::nullopt))
                return false;
        if (!unfiltered)
            return true;
        QSqlQuery stamp(db);
        stamp.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO meta (key, value) VALUES ('notes_loaded_at', ?)"));
        stamp.addBindValue(loadedAt);
        return stamp.exec();
    });
}

// Only a note the copy holds is updated: a saved note the copy never had waits for a load.
void NotesCache::updateNote(const Note& note)
{
    write([note](QSqlDatabase& db) {
        QSqlQuery known(db);
        known.prepare(QStringLiteral("SELECT 1 FROM notes WHERE id = ?"));
        known.addBindValue(note.id);
        if (!known.exec() || !known.next())
            return true;
        QSqlQuery query(db);
        prepareUpsert(query, false);
        return upsert(query, note, std::nullopt);
    });
}

void NotesCache::removeNote(const QString& noteId)
{
    write([noteId](QSqlDatabase& db) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM notes WHERE id = ?"));
        query.addBindValue(noteId);
        return query.exec();
    });
}

void NotesCache::forget()
{
    if (!isOpen())
        return;
    close();
    QFile::remove(m_filePath);
    for (const char* journal : {"-journal", "-wal", "-shm"})
        QFile::remove(m_filePath + QLatin1String(journal));
    openFile();
}
