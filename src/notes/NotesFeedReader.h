#pragma once

#include "Note.h"
#include "XmlEventHandler.h"

#include <QList>
#include <QSet>
#include <QString>

class XmlPushParser;

// Reads a notes feed, an XML document of <item> elements, into Note records in document order.
// A note's text is exactly the character data of its <note> element, CDATA sections included and
// nothing trimmed, so a note comes back as it was stored. The other fields are gathered piece by
// piece with white space trimmed from every piece; the id elements carry their ids in a "value"
// attribute; unknown elements are ignored. An item inside an item is a fatal error; items past
// Limits::MaxListItems are counted, not kept.
class NotesFeedReader : private XmlEventHandler
{
public:
    struct Result
    {
        QList<Note> notes;    // the items read, up to a fatal error if there was one
        QString error;        // the parser's description of a fatal error, or empty
        int dropped = 0;      // items past Limits::MaxListItems, not read
    };

    static Result read(const QByteArray& xml);

private:
    NotesFeedReader() = default;

    void didStartElement(QStringView name, const QXmlStreamAttributes& attributes) override;
    void foundCharacters(QStringView text) override;
    void foundCDATA(QStringView text) override;
    void didEndElement(QStringView name) override;
    void parseErrorOccurred(const QString& description) override;

    enum class Element
    {
        Item,
        NoteId,
        Note,
        DateTimeCreate,
        ProjectId,
        RealEstateId,
        TaskId,
        GroupId,
        ClientId,
        OrderId,
        Other
    };
    static Element elementOf(QStringView name);
    void clearItem();
    QString shared(const QString& text);

    XmlPushParser* m_parser = nullptr;
    QList<Note> m_notes;
    QString m_error;
    int m_dropped = 0;
    bool m_inItem = false;
    QString m_itemId, m_itemNote, m_itemDateTimeCreate, m_itemRealEstate, m_itemRealEstateId,
        m_itemProject, m_itemProjectId, m_itemTask, m_itemTaskId, m_itemGroup, m_itemGroupId,
        m_itemClient, m_itemClientId, m_itemOrder, m_itemOrderId;
    QSet<QString> m_texts;
    // Where character data goes for the element opened last.
    QString* m_textTarget = nullptr;
};
