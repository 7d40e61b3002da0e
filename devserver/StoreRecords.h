#pragma once

#include <QString>

// Plain rows exchanged between NotesDatabase and the request handlers.

struct NoteRecord
{
    qint64 id = 0;
    QString text;
    qint64 clientId = 0;
    QString clientName; // empty when the client id is 0 or unknown
    qint64 projectId = 0;
    QString projectName;
    QString created; // "yyyy-MM-dd HH:mm:ss", possibly "0000-00-00 00:00:00"
};

// The editable part of a note.
struct NoteFields
{
    QString text;
    qint64 clientId = 0;
    qint64 projectId = 0;
};

struct NoteSearch
{
    QString noteKeyword;
    QString clientKeyword;
    QString projectKeyword;
    int limit = 100;
};

struct ClientRecord
{
    qint64 id = 0;
    QString name;
    int status = 1;
};

struct ProjectRecord
{
    qint64 id = 0;
    QString name;
    qint64 categoryId = 0;
    QString categoryName;
    int status = 1;
};
