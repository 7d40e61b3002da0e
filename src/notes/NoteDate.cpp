#include "notes/NoteDate.h"

#include "net/ServerContract.h"

#include <QDateTime>

namespace {
// Reads count ASCII digits at position; -1 when any of them is not a digit.
int digits(const QString& text, qsizetype position, qsizetype count)
{
    int value = 0;
    for (qsizetype i = position; i < position + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

bool hasSeparators(const QString& text)
{
    return text[4] == u'-' && text[7] == u'-' && text[10] == u' ' && text[13] == u':' &&
           text[16] == u':';
}
} // namespace

QString NoteDate::displayText(const QString& serverText)
{
    if (serverText.isEmpty() || serverText == QLatin1String(ServerContract::Xml::NoDate))
        return QString();
    // Fixed positions of "yyyy-MM-dd HH:mm:ss"; reading them by hand is many times faster than a
    // format-driven parse, which matters for long lists.
    if (serverText.size() != 19 || !hasSeparators(serverText))
        return serverText;
    const int year = digits(serverText, 0, 4);
    const int month = digits(serverText, 5, 2);
    const int day = digits(serverText, 8, 2);
    const int hour = digits(serverText, 11, 2);
    const int minute = digits(serverText, 14, 2);
    const int second = digits(serverText, 17, 2);
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 ||
        !date.isValid() || !time.isValid())
        return serverText;
    const QDateTime local(date, time, Qt::LocalTime);
    // A time inside a daylight-saving gap is invalid or moved to another wall-clock time.
    if (!local.isValid() || local.date() != date || local.time() != time)
        return serverText;
    // Same zone on both sides, so the fields are only rearranged: "dd.MM.yyyy HH:mm".
    const QChar* in = serverText.constData();
    QString shown(16, Qt::Uninitialized);
    QChar* out = shown.data();
    const int order[] = {8, 9, -'.', 5, 6, -'.', 0, 1, 2, 3, -' ', 11, 12, -':', 14, 15};
    for (int i = 0; i < 16; ++i)
        out[i] = order[i] < 0 ? QChar(char16_t(-order[i])) : in[order[i]];
    return shown;
}
