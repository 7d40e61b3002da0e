#pragma once

#include "net/XmlEventHandler.h"
#include "notes/Note.h"

#include <QList>
#include <QObject>

#include <memory>

class DataEndpoint;
class MemberCenter;
class XmlPushParser;

// The notes of the main window: fetches them with the three search keywords, reads the XML feed
// into Note records, and saves, adds and deletes notes. All four requests share one request slot,
// so a new one cancels the one in flight. Holds no widget; the table learns of a reload through
// notesReloaded().
class NotesFeed : public QObject, private XmlEventHandler
{
    Q_OBJECT
public:
    static constexpr char SavedLine[] = "poznamka uspesne ulozena";
    static constexpr char AddedLine[] = "poznamka uspesne pridana";
    static constexpr char DeletedLine[] = "poznamka uspesne zmazana";
    static constexpr char ParseErrorPrefix[] = "failure error: ";

    explicit NotesFeed(QObject* parent = nullptr);
    ~NotesFeed() override;

    // Sends "xml_notes" with the keywords as they stand now.
    void actionGetXMLItems();
    // "edit_note" with the current note's id, text, project id and client id.
    void actionSaveXMLItem();
    // "add_note" with the text, project id and client id of the current note, or of the given
    // draft, which leaves the current note untouched.
    void actionAddXMLItem();
    void actionAddXMLItem(const Note& draft);
    // "delete_note" with the current note's id.
    void actionDeleteXMLItem();

    // Replaces noteObjects with the notes of an XML answer (runs on the main thread).
    void handleXml(const QByteArray& body);

    DataEndpoint& endpoint() const { return *m_endpoint; }
    MemberCenter* membercenter() const;

    QString noteKeyword;
    QString clientKeyword;
    QString projectKeyword;
    QList<NoteRef> noteObjects;
    // The current note: a record of its own at first, later the record of the selected row.
    NoteRef note = std::make_shared<Note>();

    std::unique_ptr<XmlPushParser> parser;
    QString currentParsedElement;
    QString itemId, itemNote, itemDateTimeCreate, itemRealEstate, itemRealEstateId, itemProject,
        itemProjectId, itemTask, itemTaskId, itemGroup, itemGroupId, itemClient, itemClientId,
        itemOrder, itemOrderId;

signals:
    // noteObjects was replaced; views showing it must reload.
    void notesReloaded();

private:
    void didStartElement(QStringView name, const QXmlStreamAttributes& attributes) override;
    void foundCharacters(QStringView text) override;
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
    void sendAdd(std::function<Note()> source);
    void sendCommand(const char* action, const QString& successLine,
                     std::function<QList<QPair<const char*, QString>>()> parameters);

    DataEndpoint* m_endpoint;
    // Where character data goes for the element opened last; follows currentParsedElement.
    QString* m_textTarget = nullptr;
};
