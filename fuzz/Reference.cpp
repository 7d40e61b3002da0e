#include "Reference.h"

#include <QDateTime>
#include <QRegularExpression>

#include <vector>

namespace Reference {

bool isBlank(char32_t c)
{
    return QChar::isSpace(c) || c == 0x85;
}

namespace {
// The code points of text with the index of the first UTF-16 unit of each; an unpaired
// surrogate stands for itself.
struct CodePoint
{
    char32_t value;
    qsizetype at;
};

std::vector<CodePoint> codePoints(const QString& text)
{
    std::vector<CodePoint> points;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            points.push_back({QChar::surrogateToUcs4(unit, text.at(i + 1).unicode()), i});
            ++i;
        } else {
            points.push_back({unit, i});
        }
    }
    return points;
}
} // namespace

QString trimmed(const QString& text)
{
    const std::vector<CodePoint> points = codePoints(text);
    std::size_t first = 0;
    while (first < points.size() && isBlank(points[first].value))
        ++first;
    std::size_t last = points.size();
    while (last > first && isBlank(points[last - 1].value))
        --last;
    if (first == last)
        return QString();
    const qsizetype begin = points[first].at;
    const qsizetype end = last < points.size() ? points[last].at : text.size();
    return text.mid(begin, end - begin);
}

bool isTrimmed(const QString& text)
{
    return trimmed(text) == text;
}

QString joinedTrimmed(const QStringList& pieces)
{
    QString joined;
    for (const QString& piece : pieces)
        joined += trimmed(piece);
    return joined;
}

QString shownDate(const QString& serverText)
{
    if (serverText.isEmpty() || serverText == QLatin1String("0000-00-00 00:00:00"))
        return QString();
    // The form is four digits for the year and two for every other field (QDateTime would also
    // take a signed year); the fields must name a local time that exists, and a time in the hour
    // a clock change skips does not parse.
    static const QRegularExpression form(
        QStringLiteral("\\A[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\z"));
    const QDateTime time =
        QDateTime::fromString(serverText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!form.match(serverText).hasMatch() || !time.isValid())
        return serverText;
    return time.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QStringList pickListTitles(const QStringList& titles)
{
    QStringList shown;
    for (const QString& title : titles) {
        const QString key = title.normalized(QString::NormalizationForm_C);
        for (qsizetype i = 0; i < shown.size(); ++i)
            if (shown.at(i).normalized(QString::NormalizationForm_C) == key) {
                shown.removeAt(i);
                break;
            }
        shown.append(title);
    }
    return shown;
}

QString visible(const QString& text)
{
    QString shown;
    for (const CodePoint& point : codePoints(text)) {
        if (point.value >= 0x20 && point.value < 0x7F && point.value != u'\\')
            shown += QChar(char16_t(point.value));
        else
            shown += QStringLiteral("\\u{%1}").arg(uint(point.value), 0, 16);
    }
    return shown;
}

} // namespace Reference
