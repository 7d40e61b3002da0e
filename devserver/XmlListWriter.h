#pragma once

#include <QByteArray>
#include <QString>

// Builds the XML list documents of the service: a root element holding <item> elements whose
// children are either plain text elements or "linked" elements carrying an id in a value
// attribute and a display name as text. Escaping keeps every note text intact through an XML
// parser: CR and TAB are written as character references because parsers normalise raw line
// ends, and characters XML 1.0 does not allow become U+FFFD instead of breaking the document.
class XmlListWriter
{
public:
    explicit XmlListWriter(const QString& rootName);

    void beginItem();
    void addText(const QString& name, const QString& text);
    void addLinked(const QString& name, const QString& id, const QString& text);
    void endItem();
    QByteArray finish();

    static QString escapeText(const QString& text);
    static QString escapeAttribute(const QString& text);

private:
    // Replaces code units that XML 1.0 cannot carry (C0 controls but TAB, LF and CR, unpaired
    // surrogates, U+FFFE and U+FFFF) with U+FFFD.
    static QString onlyXmlCharacters(const QString& text);
    static bool isAllowed(char16_t unit);

    QString m_rootName;
    QString m_document;
};
