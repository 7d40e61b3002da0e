#include "DemoData.h"

#include "PasswordHash.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

bool execAll(QSqlDatabase& db, const QStringList& statements)
{
    QSqlQuery query(db);
    for (const QString& statement : statements) {
        if (!query.exec(statement))
            return false;
    }
    return true;
}

bool insertRows(QSqlDatabase& db, const QString& statement, const QList<QVariantList>& rows)
{
    QSqlQuery query(db);
    if (!query.prepare(statement))
        return false;
    for (const QVariantList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            query.bindValue(int(i), row.at(i));
        if (!query.exec())
            return false;
    }
    return true;
}

} // namespace

bool DemoData::createSchema(QSqlDatabase& db)
{
    return execAll(
        db,
        {
            QStringLiteral("CREATE TABLE IF NOT EXISTS users (id INTEGER PRIMARY KEY, login TEXT "
                           "UNIQUE NOT NULL, salt TEXT NOT NULL, hash TEXT NOT NULL)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS clients (id INTEGER PRIMARY KEY, name TEXT "
                           "NOT NULL, status INTEGER NOT NULL)"),
            QStringLiteral(
                "CREATE TABLE IF NOT EXISTS categories (id INTEGER PRIMARY KEY, name TEXT "
                "NOT NULL)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS projects (id INTEGER PRIMARY KEY, name TEXT "
                           "NOT NULL, category_id INTEGER NOT NULL, status INTEGER NOT NULL)"),
            QStringLiteral(
                "CREATE TABLE IF NOT EXISTS notes (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                "note TEXT NOT NULL, client_id INTEGER NOT NULL, project_id INTEGER NOT "
                "NULL, datetime_create TEXT NOT NULL)"),
        });
}

bool DemoData::seed(QSqlDatabase& db)
{
    return seedUsers(db) && seedClients(db) && seedProjects(db) && seedNotes(db);
}

bool DemoData::seedUsers(QSqlDatabase& db)
{
    const QList<std::pair<QString, QString>> users = {
        {QStringLiteral("demo"), QStringLiteral("demo")},
        {QStringLiteral("jana"), QStringLiteral("p&ss+w%rd=1")},
        {QStringLiteral("peter"), QStringLiteral("heslo123")},
    };
    QList<QVariantList> rows;
    for (const auto& [login, password] : users) {
        const QByteArray salt = PasswordHash::newSalt();
        rows.append(QVariantList{login, QString::fromLatin1(salt),
                                 QString::fromLatin1(PasswordHash::hash(salt, password))});
    }
    return insertRows(db, QStringLiteral("INSERT INTO users (login, salt, hash) VALUES (?, ?, ?)"),
                      rows);
}

bool DemoData::seedClients(QSqlDatabase& db)
{
    return insertRows(db, QStringLiteral("INSERT INTO clients (id, name, status) VALUES (?, ?, ?)"),
                      {
                          {1, QStringLiteral("Stavby Žilina s.r.o."), 1},
                          {2, QStringLiteral("Alpha"), 1},
                          {3, QStringLiteral("Ďurčo & syn"), 1},
                          {4, QStringLiteral("Beta Reality a.s."), 1},
                          {5, QStringLiteral("Zrušená firma s.r.o."), 0},
                          {6, QStringLiteral("Čierny Peter"), 1},
                      });
}

bool DemoData::seedProjects(QSqlDatabase& db)
{
    const bool categories =
        insertRows(db, QStringLiteral("INSERT INTO categories (id, name) VALUES (?, ?)"),
                   {{1, QStringLiteral("Budovy")},
                    {2, QStringLiteral("Cesty")},
                    {4, QStringLiteral("Rekonštrukcie")}});
    return categories &&
           insertRows(db,
                      QStringLiteral("INSERT INTO projects (id, name, category_id, status) "
                                     "VALUES (?, ?, ?, ?)"),
                      {
                          {1, QStringLiteral("Strecha"), 1, 1},
                          {2, QStringLiteral("Obchvat Žiliny"), 2, 1},
                          {3, QStringLiteral("Kúpeľňa"), 4, 1},
                          {4, QStringLiteral("Fasáda <nová>"), 1, 1},
                          {5, QStringLiteral("Starý sklad"), 1, 0},
                          {7, QStringLiteral("Roof"), 4, 1},
                      });
}

bool DemoData::seedNotes(QSqlDatabase& db)
{
    return insertRows(
        db,
        QStringLiteral("INSERT INTO notes (note, client_id, project_id, datetime_create) VALUES "
                       "(?, ?, ?, ?)"),
        {
            {QStringLiteral("Zavolať pánovi Kováčovi ohľadom strechy"), 1, 1,
             QStringLiteral("2017-05-04 13:07:55")},
            {QStringLiteral("Nákup materiálu:\n- škridla\n- latky\n- klince"), 1, 1,
             QStringLiteral("2017-05-05 08:30:00")},
            {QStringLiteral("Cena & podmienky: <50 % záloha> + doplatok = 100 %"), 2, 7,
             QStringLiteral("2018-01-15 10:00:00")},
            {QStringLiteral("Stará poznámka bez dátumu"), 3, 3,
             QStringLiteral("0000-00-00 00:00:00")},
            {QStringLiteral("Poznámka bez klienta a projektu"), 0, 0,
             QStringLiteral("2019-03-10 17:45:12")},
            {QStringLiteral("Obhliadka trasy obchvatu"), 4, 2,
             QStringLiteral("2020-07-01 07:15:00")},
            {QStringLiteral("Klient bez projektu: poslať ponuku"), 6, 0,
             QStringLiteral("2021-11-23 14:20:05")},
            {QStringLiteral("Projekt bez klienta: skontrolovať fasádu"), 0, 4,
             QStringLiteral("2022-02-28 09:00:00")},
            {QStringLiteral("Archív zrušenej firmy"), 5, 5, QStringLiteral("2016-12-31 23:59:59")},
            {QStringLiteral("  Odsadený text\tso zarážkou"), 2, 3,
             QStringLiteral("2023-06-06 06:06:06")},
            {QStringLiteral("Stretnutie v Žiline o 10:00"), 1, 2,
             QStringLiteral("2024-01-08 11:11:11")},
        });
}

bool DemoData::seedCannedNotes(QSqlDatabase& db, int count)
{
    constexpr qint64 CannedProjectId = 8;
    QSqlQuery project(db);
    project.prepare(QStringLiteral("INSERT OR IGNORE INTO projects (id, name, category_id, status) "
                                   "VALUES (?, ?, 4, 1)"));
    project.bindValue(0, CannedProjectId);
    project.bindValue(1, QStringLiteral("Rekonštrukcia strechy"));
    if (!project.exec())
        return false;

    // Clients "Stavby Žilina s.r.o." and "Beta Reality a.s.", projects "Rekonštrukcia strechy"
    // and "Obchvat Žiliny".
    const qint64 clients[] = {1, 4};
    const qint64 projects[] = {CannedProjectId, 2};
    const QDateTime first(QDate(2017, 5, 4), QTime(8, 0));
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("INSERT INTO notes (note, client_id, project_id, "
                                      "datetime_create) VALUES (?, ?, ?, ?)")))
        return false;
    for (int i = 0; i < count; ++i) {
        query.bindValue(0, QStringLiteral("Poznámka %1: zavolať pánovi Kováčovi ohľadom strechy "
                                          "a okien, poslať ponuku s cenou do piatku.")
                               .arg(i + 1, 5, 10, QLatin1Char('0')));
        query.bindValue(1, clients[i % 2]);
        query.bindValue(2, projects[(i / 2) % 2]);
        query.bindValue(3, first.addSecs(qint64(i) * 3600).toString(
                               QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        if (!query.exec())
            return false;
    }
    return true;
}
