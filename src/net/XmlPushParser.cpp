#include "XmlPushParser.h"

#include "XmlEventHandler.h"

#include <QXmlStreamReader>

namespace {
constexpr qsizetype BlockBytes = 16 * 1024;
}

XmlPushParser::XmlPushParser(QByteArray data) : m_data(std::move(data)) {}

XmlPushParser::~XmlPushParser() = default;

bool XmlPushParser::feedNextBlock()
{
    if (m_fed >= m_data.size())
        return false;
    const qsizetype size = qMin(BlockBytes, m_data.size() - m_fed);
    m_reader->addData(m_data.sliced(m_fed, size));
    m_fed += size;
    return true;
}

bool XmlPushParser::parse()
{
    QXmlStreamReader reader;
    reader.setNamespaceProcessing(false);
    m_reader = &reader;
    m_fed = 0;
    feedNextBlock();
    while (!reader.atEnd() || feedNextBlock()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && feedNextBlock())
            continue;
        if (reader.hasError())
            break;
        if (!m_handler)
            continue;
        switch (token) {
        case QXmlStreamReader::StartElement:
            m_handler->didStartElement(reader.qualifiedName(), reader.attributes());
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA())
                m_handler->foundCDATA(reader.text());
            else
                m_handler->foundCharacters(reader.text());
            break;
        case QXmlStreamReader::EndElement:
            m_handler->didEndElement(reader.qualifiedName());
            break;
        default:
            break;
        }
    }
    m_reader = nullptr;
    if (reader.hasError()) {
        if (m_handler)
            m_handler->parseErrorOccurred(reader.errorString());
        return false;
    }
    return true;
}

void XmlPushParser::abortParsing(const QString& reason)
{
    if (m_reader && !m_reader->hasError())
        m_reader->raiseError(reason);
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
