#include "XmlPushParser.h"

#include "XmlEventHandler.h"

#include <QXmlStreamReader>

XmlPushParser::XmlPushParser(QByteArray data) : m_data(std::move(data)) {}

bool XmlPushParser::parse()
{
    QXmlStreamReader reader(m_data);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (m_handler)
                m_handler->didStartElement(reader.qualifiedName(), reader.attributes());
            break;
        case QXmlStreamReader::Characters:
            if (m_handler && !reader.isCDATA())
                m_handler->foundCharacters(reader.text());
            break;
        case QXmlStreamReader::EndElement:
            if (m_handler)
                m_handler->didEndElement(reader.qualifiedName());
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        if (m_handler)
            m_handler->parseErrorOccurred(reader.errorString());
        return false;
    }
    return true;
}

bool XmlPushParser::isWhiteSpaceOrNewline(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0x85)
        return true;
    if (u < 0x80)
        return false;
    const QChar::Category category = c.category();
    return category == QChar::Separator_Space || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

QStringView XmlPushParser::trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhiteSpaceOrNewline(text[begin]))
        ++begin;
    while (end > begin && isWhiteSpaceOrNewline(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}
