#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

// Turns the server's creation time "yyyy-MM-dd HH:mm:ss" into "dd.MM.yyyy HH:mm", both in local
// time. Empty text and "0000-00-00 00:00:00" give empty text. A text that does not have that form,
// or that names a local time which does not exist (a daylight-saving gap), is kept unchanged.
class NoteDate
{
public:
    static QString displayText(const QString& serverText);

    struct Local
    {
        QDate date;
        QTime time;
    };
    // The server's time stamp as a local date and time that exists; none for empty, zero or
    // unreadable text.
    static std::optional<Local> read(const QString& serverText);
    // Orders time stamps by their wall-clock time; unreadable ones come first.
    static qint64 sortKey(const QString& serverText);
};
