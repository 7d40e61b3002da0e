#include "ServerValues.h"

#include <array>

namespace {
// Pieces chosen for what they do to the client: white space of every kind XML can carry (U+000B
// and U+000C it cannot), characters that look blank but are not white space, markup, and
// spellings that Unicode normalisation folds together.
constexpr std::array<const char16_t*, 48> Pieces = {
    u"a", u"Z", u"0", u"7", u"42", u"Roof", u"s.r.o.", u"-",
    u" ", u"  ", u"\t", u"\n", u"\r", u"\r\n", u"\u00A0", u"\u0085",
    u"\u1680", u"\u2000", u"\u2007", u"\u200A", u"\u2028", u"\u2029", u"\u202F", u"\u205F",
    u"\u3000", u"\u200B", u"\uFEFF", u"\u180E", u"&", u"<", u">", u"\"",
    u"'", u"]]>", u"]]", u"&amp;", u"\u00E9", u"e\u0301", u"\u00C5", u"A\u030A",
    u"\u212B", u"s\u0323\u0307", u"s\u0307\u0323", u"\u1E69", u"\uAC00", u"\u1100\u1161",
    u"\U0001F600", u"\u0301",
};

// Few pieces, many of them equal after NFC, so pick-list titles collide often.
constexpr std::array<const char16_t*, 16> TitlePieces = {
    u"Roof", u"A", u"\u00C5", u"A\u030A", u"\u212B", u"\u00E9", u"e\u0301", u" ",
    u"\u00A0", u"s\u0323\u0307", u"s\u0307\u0323", u"\u1E69", u"\uAC00", u"\u1100\u1161",
    u"\u0301", u"\U0001F600",
};

// A character XML 1.0 allows in a document.
bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}
} // namespace

QString ValueSource::anyCharacter()
{
    const char32_t c = m_data.ConsumeIntegralInRange<char32_t>(0, 0x10FFFF);
    if (!isXmlCharacter(c))
        return QString();
    return QString::fromUcs4(&c, 1);
}

QString ValueSource::piece()
{
    const auto choice = m_data.ConsumeIntegral<std::uint8_t>();
    if (choice < Pieces.size())
        return QString::fromUtf16(Pieces[choice]);
    if (choice < 192)
        return QString(QChar(char16_t(u'a' + choice % 26)));
    return anyCharacter();
}

QString ValueSource::text(int maxPieces)
{
    QString text;
    for (int n = count(maxPieces); n > 0; --n)
        text += piece();
    return text;
}

QString ValueSource::title(const QString& extra)
{
    QString title;
    for (int n = count(3); n > 0; --n) {
        const auto choice = m_data.ConsumeIntegralInRange<std::size_t>(0, TitlePieces.size());
        title += choice < TitlePieces.size() ? QString::fromUtf16(TitlePieces[choice]) : extra;
    }
    return title;
}

QStringList ValueSource::pieces(bool title, const QString& extra)
{
    QStringList pieces{title ? this->title(extra) : text()};
    // Mostly one piece; now and then a comment splits the field.
    while (pieces.size() < 3 && m_data.ConsumeIntegral<std::uint8_t>() >= 224)
        pieces.append(title ? this->title(extra) : text(4));
    return pieces;
}

QString ValueSource::dateText()
{
    const auto form = m_data.ConsumeIntegral<std::uint8_t>();
    if (form < 8)
        return QString();
    if (form < 16)
        return QStringLiteral("0000-00-00 00:00:00");
    if (form < 24)
        return text(6);
    int year = m_data.ConsumeIntegralInRange(1900, 2100);
    int month = m_data.ConsumeIntegralInRange(1, 12);
    int day = m_data.ConsumeIntegralInRange(1, 31);
    int hour = m_data.ConsumeIntegralInRange(0, 23);
    if (form < 64) {
        // The last Sunday of March or October falls on the 25th to the 31st; at 02:xx local
        // time (Central Europe) the hour is skipped or repeated.
        month = form < 48 ? 3 : 10;
        day = m_data.ConsumeIntegralInRange(25, 31);
        hour = 2;
    } else if (form < 80) {
        // Fields out of range, the year 0000 included.
        year = m_data.ConsumeIntegralInRange(0, 9999);
        month = m_data.ConsumeIntegralInRange(0, 13);
        day = m_data.ConsumeIntegralInRange(0, 32);
        hour = m_data.ConsumeIntegralInRange(0, 25);
    }
    const int minute = m_data.ConsumeIntegralInRange(0, form < 80 ? 60 : 59);
    const int second = m_data.ConsumeIntegralInRange(0, form < 80 ? 61 : 59);
    QString text = QStringLiteral("%1-%2-%3 %4:%5:%6")
                       .arg(year, 4, 10, QLatin1Char('0'))
                       .arg(month, 2, 10, QLatin1Char('0'))
                       .arg(day, 2, 10, QLatin1Char('0'))
                       .arg(hour, 2, 10, QLatin1Char('0'))
                       .arg(minute, 2, 10, QLatin1Char('0'))
                       .arg(second, 2, 10, QLatin1Char('0'));
    if (form >= 96 && form < 128) {
        // One character changed, or the text cut short.
        const qsizetype at = m_data.ConsumeIntegralInRange<qsizetype>(0, text.size() - 1);
        if (form < 112)
            text.replace(at, 1, piece());
        else
            text.truncate(at);
    }
    if (form >= 224)
        text = piece() + text + piece();
    return text;
}

ListWriter::ListWriter(const char* root)
    : m_root(QLatin1String(root)),
      m_document(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<%1>\n").arg(m_root))
{
}

void ListWriter::beginItem()
{
    m_document += QLatin1String("  <item>\n");
}

void ListWriter::endItem()
{
    m_document += QLatin1String("  </item>\n");
}

void ListWriter::addText(const char* element, const QStringList& pieces, bool references)
{
    addLinked(element, std::nullopt, pieces, references);
}

void ListWriter::addLinked(const char* element, const std::optional<QString>& id,
                           const QStringList& pieces, bool references)
{
    const QString name = QLatin1String(element);
    m_document += QLatin1String("    <") + name;
    if (id)
        m_document += QLatin1String(" value=\"") + escaped(*id, references, true) +
                      QLatin1String("\"");
    m_document += QLatin1Char('>');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            m_document += QLatin1String("<!-- split -->");
        m_document += escaped(pieces.at(i), references, false);
    }
    m_document += QLatin1String("</") + name + QLatin1String(">\n");
}

void ListWriter::addNote(const QList<Segment>& segments, bool references)
{
    m_document += QLatin1String("    <note>");
    for (const Segment& segment : segments) {
        // A CDATA section cannot hold its own end, and a carriage return in it would be read as
        // a line feed: those parts are written as escaped text.
        if (segment.cdata && !segment.text.contains(u'\r') &&
            !segment.text.contains(QLatin1String("]]>")))
            m_document += QLatin1String("<![CDATA[") + segment.text + QLatin1String("]]>");
        else
            m_document += escaped(segment.text, references, false);
    }
    m_document += QLatin1String("</note>\n");
}

void ListWriter::addOther(const QString& text)
{
    m_document += QLatin1String("    <status>") + escaped(text, false, false) +
                  QLatin1String("</status>\n");
}

QByteArray ListWriter::finish()
{
    m_document += QLatin1String("</") + m_root + QLatin1String(">\n");
    return m_document.toUtf8();
}

QString ListWriter::escaped(const QString& text, bool references, bool attribute)
{
    QString out;
    const QList<uint> points = text.toUcs4();
    for (const uint c : points) {
        switch (c) {
        case u'&':
            out += QLatin1String("&amp;");
            continue;
        case u'<':
            out += QLatin1String("&lt;");
            continue;
        case u'>':
            out += QLatin1String("&gt;");
            continue;
        case u'"':
            out += attribute ? QLatin1String("&quot;") : QLatin1String("\"");
            continue;
        case u'\r':
            out += QLatin1String("&#13;");
            continue;
        case u'\t':
        case u'\n':
            // An attribute's value turns them into spaces unless they are references.
            if (attribute) {
                out += QStringLiteral("&#%1;").arg(c);
                continue;
            }
            break;
        default:
            break;
        }
        if (references && c >= 0x80)
            out += QStringLiteral("&#x%1;").arg(c, 0, 16);
        else
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
    }
    return out;
}
