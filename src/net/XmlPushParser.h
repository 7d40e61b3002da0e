#pragma once

#include <QByteArray>
#include <QString>

class QXmlStreamReader;
class XmlEventHandler;

// Runs a QXmlStreamReader over a whole document and pushes its events to a handler: element
// start (name as written, attributes), character data, CDATA sections, element end, and the
// first fatal error, after which it stops. The bytes are handed to the reader a block at a time,
// so a document that breaks off (bad UTF-8 included) still delivers everything before the break.
// Comments, processing instructions and the DTD contribute nothing; namespaces are not
// processed; no external entity is ever loaded, and entity expansion stays within
// QXmlStreamReader's limit.
class XmlPushParser
{
public:
    explicit XmlPushParser(QByteArray data);
    ~XmlPushParser();

    void setDelegate(XmlEventHandler* handler) { m_handler = handler; }

    // True when the document was read to its end without an error.
    bool parse();
    // Called by the handler during parse(): stops it as a fatal error with this description.
    void abortParsing(const QString& reason);

    // Trims white space and line ends from both ends: Unicode category Z, U+0009 to U+000D and
    // U+0085.
    static QStringView trimmed(QStringView text);
    static bool isWhiteSpaceOrNewline(QChar c);

private:
    bool feedNextBlock();

    QByteArray m_data;
    qsizetype m_fed = 0;
    QXmlStreamReader* m_reader = nullptr;
    XmlEventHandler* m_handler = nullptr;
};
