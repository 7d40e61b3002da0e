#include "XmlListWriter.h"

XmlListWriter::XmlListWriter(const QString& rootName)
    : m_rootName(rootName),
      m_document(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<%1>\n").arg(rootName))
{
}

void XmlListWriter::beginItem()
{
    m_document += QStringLiteral("  <item>\n");
}

void XmlListWriter::addText(const QString& name, const QString& text)
{
    m_document += QStringLiteral("    <%1>%2</%1>\n").arg(name, escapeText(text));
}

void XmlListWriter::addLinked(const QString& name, const QString& id, const QString& text)
{
    m_document += QStringLiteral("    <%1 value=\"%2\">%3</%1>\n")
                      .arg(name, escapeAttribute(id), escapeText(text));
}

void XmlListWriter::endItem()
{
    m_document += QStringLiteral("  </item>\n");
}

QByteArray XmlListWriter::finish()
{
    m_document += QStringLiteral("</%1>\n").arg(m_rootName);
    return m_document.toUtf8();
}

QString XmlListWriter::escapeText(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : onlyXmlCharacters(text)) {
        switch (c.unicode()) {
        case u'&':
            escaped += QLatin1String("&amp;");
            break;
        case u'<':
            escaped += QLatin1String("&lt;");
            break;
        case u'>':
            escaped += QLatin1String("&gt;");
            break;
        case u'\r':
            escaped += QLatin1String("&#13;");
            break;
        case u'\t':
            escaped += QLatin1String("&#9;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString XmlListWriter::escapeAttribute(const QString& text)
{
    QString escaped = escapeText(text);
    escaped.replace(u'"', QLatin1String("&quot;"));
    escaped.replace(u'\n', QLatin1String("&#10;"));
    return escaped;
}

QString XmlListWriter::onlyXmlCharacters(const QString& text)
{
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isHighSurrogate() && i + 1 < result.size() && result.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || !isAllowed(c.unicode()))
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

bool XmlListWriter::isAllowed(char16_t unit)
{
    if (unit < 0x20)
        return unit == u'\t' || unit == u'\n' || unit == u'\r';
    return unit != 0xFFFE && unit != 0xFFFF;
}
