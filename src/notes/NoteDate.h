#pragma once

#include <QString>

// Turns the server's creation time "yyyy-MM-dd HH:mm:ss" into "dd.MM.yyyy HH:mm", both in local
// time. Empty text and "0000-00-00 00:00:00" give empty text. A text that does not have that form,
// or that names a local time which does not exist (a daylight-saving gap), is kept unchanged.
class NoteDate
{
public:
    static QString displayText(const QString& serverText);
};
