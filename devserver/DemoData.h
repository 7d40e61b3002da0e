#pragma once

class QSqlDatabase;

// Creates the tables and fills a fresh database with the demo company: three users, clients,
// project categories, projects and notes chosen to exercise the client (diacritics, multi-line
// text, characters special to forms and XML, a missing date, notes without client or project).
class DemoData
{
public:
    static bool createSchema(QSqlDatabase& db);
    static bool seed(QSqlDatabase& db);
    // Adds count notes of about 100 characters each, one an hour from 2017-05-04 08:00 on,
    // linked to clients and projects whose names are about 20 characters long (the project
    // "Rekonštrukcia strechy" is added for them): a large account for benchmarks.
    static bool seedCannedNotes(QSqlDatabase& db, int count);

private:
    static bool seedUsers(QSqlDatabase& db);
    static bool seedClients(QSqlDatabase& db);
    static bool seedProjects(QSqlDatabase& db);
    static bool seedNotes(QSqlDatabase& db);
};
