#include "NoteDate.h"

#include "ServerContract.h"

#include <QDateTime>
#include <QHash>
#include <QTimeZone>

#include <limits>

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

// Wall-clock intervals that do not exist in the local zone (daylight-saving gaps), worked out
// once per year from the zone's transitions. Asking the C library about every time stamp costs
// a few microseconds each, which dominated reading long feeds.
class LocalTimeGaps
{
public:
    static bool exists(const QDate& date, const QTime& time)
    {
        // One cache per thread: feeds are read on workers while the window shows dates.
        thread_local LocalTimeGaps gaps;
        return gaps.check(date, time);
    }

private:
    struct Year
    {
        bool reliable = false;
        QList<QPair<qint64, qint64>> gaps; // [start, end) in local seconds
    };

    static qint64 seconds(const QDate& date, const QTime& time)
    {
        return date.toJulianDay() * 86400 + time.msecsSinceStartOfDay() / 1000;
    }

    static bool existsSlowly(const QDate& date, const QTime& time)
    {
        const QDateTime local(date, time, Qt::LocalTime);
        return local.isValid() && local.date() == date && local.time() == time;
    }

    bool check(const QDate& date, const QTime& time)
    {
        const QByteArray zoneSetting = qgetenv("TZ");
        if (zoneSetting != m_zoneSetting) {
            m_years.clear();
            m_zoneSetting = zoneSetting;
        }
        auto year = m_years.constFind(date.year());
        if (year == m_years.cend())
            year = m_years.insert(date.year(), yearOf(date.year()));
        if (!year->reliable)
            return existsSlowly(date, time);
        const qint64 local = seconds(date, time);
        for (const auto& [start, end] : year->gaps)
            if (local >= start && local < end)
                return false;
        return true;
    }

    static Year yearOf(int year)
    {
        const QTimeZone zone = QTimeZone::systemTimeZone();
        if (!zone.isValid())
            return {};
        // The zone's rules are used only where they agree with the C library's local time.
        for (const QDate probe : {QDate(year, 1, 15), QDate(year, 7, 15)}) {
            const QDateTime local(probe, QTime(12, 0), Qt::LocalTime);
            if (!local.isValid() || zone.offsetFromUtc(local) != local.offsetFromUtc())
                return {};
        }
        Year result{true, {}};
        const QDateTime from(QDate(year - 1, 12, 30), QTime(0, 0), Qt::UTC);
        const QDateTime to(QDate(year + 1, 1, 2), QTime(0, 0), Qt::UTC);
        for (const QTimeZone::OffsetData& transition : zone.transitions(from, to)) {
            const int before = zone.offsetFromUtc(transition.atUtc.addSecs(-1));
            const int after = transition.offsetFromUtc;
            if (after > before) {
                const qint64 start =
                    seconds(transition.atUtc.date(), transition.atUtc.time()) + before;
                result.gaps.append({start, start + (after - before)});
            }
        }
        return result;
    }

    QByteArray m_zoneSetting;
    QHash<int, Year> m_years;
};
} // namespace

std::optional<NoteDate::Local> NoteDate::read(const QString& serverText)
{
    // Fixed positions of "yyyy-MM-dd HH:mm:ss"; reading them by hand is many times faster than a
    // format-driven parse, which matters for long lists.
    if (serverText.size() != 19 || !hasSeparators(serverText) ||
        serverText == QLatin1String(ServerContract::Xml::NoDate))
        return std::nullopt;
    const int year = digits(serverText, 0, 4);
    const int month = digits(serverText, 5, 2);
    const int day = digits(serverText, 8, 2);
    const int hour = digits(serverText, 11, 2);
    const int minute = digits(serverText, 14, 2);
    const int second = digits(serverText, 17, 2);
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 ||
        !date.isValid() || !time.isValid() || !LocalTimeGaps::exists(date, time))
        return std::nullopt;
    return Local{date, time};
}

qint64 NoteDate::sortKey(const QString& serverText)
{
    const std::optional<Local> local = read(serverText);
    return local ? local->date.toJulianDay() * 86400 + local->time.msecsSinceStartOfDay() / 1000
                 : std::numeric_limits<qint64>::min();
}

QString NoteDate::displayText(const QString& serverText)
{
    if (serverText.isEmpty() || serverText == QLatin1String(ServerContract::Xml::NoDate))
        return QString();
    if (!read(serverText))
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
