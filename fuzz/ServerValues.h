#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>

// Values a server can send, drawn from fuzz input: texts made of pieces that matter to the
// client (every kind of white space, markup characters, canonically equivalent spellings,
// characters outside the BMP) and of any other character XML can carry, creation times near and
// off the expected form, counts up to a little past the item cap.
class ValueSource
{
public:
    ValueSource(const std::uint8_t* data, std::size_t size) : m_data(data, size) {}

    bool flag() { return m_data.ConsumeBool(); }
    int count(int max) { return m_data.ConsumeIntegralInRange<int>(0, max); }
    // Free text: ids, names, a note's text.
    QString text(int maxPieces = 12);
    // A title for a pick list, from few pieces so that equal and canonically equal titles recur;
    // extra is offered as one more piece (the placeholder's text).
    QString title(const QString& extra);
    // A field as the server may write it: one piece or a few, split by comments.
    QStringList pieces(bool title, const QString& extra = QString());
    // A creation time as datetime_create carries it, perhaps with white space around it.
    QString dateText();

private:
    QString piece();
    QString anyCharacter();

    FuzzedDataProvider m_data;
};

// Writes a notes feed or a client or project list as a server does: an XML declaration, a root
// element, one <item> per record with one element per field. Text is escaped so that it reads
// back exactly: markup characters as entities, a carriage return as a character reference (a
// literal one would be read as a line feed), and, where asked, every non-ASCII character as a
// character reference. A field given as several pieces gets a comment between them; a note's
// text may be split into CDATA sections.
class ListWriter
{
public:
    explicit ListWriter(const char* root);

    void beginItem();
    void endItem();
    // <name>text</name>
    void addText(const char* element, const QStringList& pieces, bool references);
    // <name value="id">text</name>; no attribute without an id.
    void addLinked(const char* element, const std::optional<QString>& id,
                   const QStringList& pieces, bool references);
    // The note's text, each segment as escaped text or as a CDATA section.
    struct Segment
    {
        QString text;
        bool cdata;
    };
    void addNote(const QList<Segment>& segments, bool references);
    // An element the client does not read, with text that must not reach any field.
    void addOther(const QString& text);

    QByteArray finish();

private:
    static QString escaped(const QString& text, bool references, bool attribute);

    QString m_root;
    QString m_document;
};
