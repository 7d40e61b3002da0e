#pragma once

#include <QByteArray>

class XmlEventHandler;

// Runs a QXmlStreamReader over a whole document and pushes its events to a handler: element
// start (name as written, attributes), character data, element end, and the first fatal error,
// after which it stops. CDATA sections, comments, processing instructions and the DTD contribute
// nothing; namespaces are not processed; no external entity is ever loaded, and entity expansion
// stays within QXmlStreamReader's limit.
class XmlPushParser
{
public:
    explicit XmlPushParser(QByteArray data);

    void setDelegate(XmlEventHandler* handler) { m_handler = handler; }

    // True when the document was read to its end without an error.
    bool parse();

    // Trims white space and line ends from both ends: Unicode category Z, U+0009 to U+000D and
    // U+0085.
    static QStringView trimmed(QStringView text);
    static bool isWhiteSpaceOrNewline(QChar c);

private:
    QByteArray m_data;
    XmlEventHandler* m_handler = nullptr;
};
