#include "notes/NotesFeed.h"

#include "app/Console.h"
#include "net/DataEndpoint.h"
#include "net/ServerContract.h"
#include "net/XmlPushParser.h"
#include "notes/NoteDate.h"

namespace Xml = ServerContract::Xml;
namespace Form = ServerContract::Form;

NotesFeed::NotesFeed(QObject* parent)
    : QObject(parent),
      m_endpoint(new DataEndpoint(QLatin1String(ServerContract::Script::Notes),
                                  QLatin1String(ServerContract::Action::Notes), this))
{
}

NotesFeed::~NotesFeed() = default;

MemberCenter* NotesFeed::membercenter() const
{
    return m_endpoint->membercenter;
}

void NotesFeed::actionGetXMLItems()
{
    m_endpoint->requestList(
        QLatin1String(ServerContract::Action::Notes),
        [this]() -> DataEndpoint::Parameters {
            return {{Form::NoteKeyword, noteKeyword},
                    {Form::ClientKeyword, clientKeyword},
                    {Form::ProjectKeyword, projectKeyword},
                    {Form::Limit, QLatin1String(ServerContract::NotesLimit)}};
        },
        {[this](const QByteArray& body) { handleXml(body); }, {}});
}

void NotesFeed::actionSaveXMLItem()
{
    sendCommand(ServerContract::Action::EditNote, QLatin1String(SavedLine),
                [this]() -> DataEndpoint::Parameters {
                    return {{Form::NoteId, note->id},
                            {Form::Note, note->note},
                            {Form::ProjectId, note->projectId},
                            {Form::ClientId, note->clientId}};
                });
}

void NotesFeed::actionAddXMLItem()
{
    sendCommand(ServerContract::Action::AddNote, QLatin1String(AddedLine),
                [this]() -> DataEndpoint::Parameters {
                    return {{Form::Note, note->note},
                            {Form::ProjectId, note->projectId},
                            {Form::ClientId, note->clientId}};
                });
}

void NotesFeed::actionAddXMLItem(const Note& draft)
{
    sendCommand(ServerContract::Action::AddNote, QLatin1String(AddedLine),
                [draft]() -> DataEndpoint::Parameters {
                    return {{Form::Note, draft.note},
                            {Form::ProjectId, draft.projectId},
                            {Form::ClientId, draft.clientId}};
                });
}

void NotesFeed::actionDeleteXMLItem()
{
    sendCommand(ServerContract::Action::DeleteNote, QLatin1String(DeletedLine),
                [this]() -> DataEndpoint::Parameters { return {{Form::NoteId, note->id}}; });
}

void NotesFeed::sendCommand(const char* action, const QString& successLine,
                            std::function<QList<QPair<const char*, QString>>()> parameters)
{
    // A success reloads the list with the keywords held at that moment.
    m_endpoint->requestCommand(QLatin1String(action), std::move(parameters),
                               {successLine, [this]() { actionGetXMLItems(); }});
}

void NotesFeed::handleXml(const QByteArray& body)
{
    noteObjects.clear();
    emit notesReloaded();
    parser = std::make_unique<XmlPushParser>(body);
    parser->setDelegate(this);
    parser->parse();
    emit notesReloaded();
}

void NotesFeed::clearItem()
{
    for (QString* field : {&itemId, &itemNote, &itemDateTimeCreate, &itemRealEstate,
                           &itemRealEstateId, &itemProject, &itemProjectId, &itemTask, &itemTaskId,
                           &itemGroup, &itemGroupId, &itemClient, &itemClientId, &itemOrder,
                           &itemOrderId})
        field->clear();
}

void NotesFeed::didStartElement(QStringView name, const QXmlStreamAttributes& attributes)
{
    // Reuses the string's buffer: this runs for every element of the feed.
    currentParsedElement.resize(0);
    currentParsedElement.append(name);

    struct Linked
    {
        const char16_t* element;
        QString* text;
        QString* id;
    };
    const Linked linked[] = {
        {u"ProjectID", &itemProject, &itemProjectId}, {u"ClientID", &itemClient, &itemClientId},
        {u"RealEstateID", &itemRealEstate, &itemRealEstateId}, {u"TaskID", &itemTask, &itemTaskId},
        {u"GroupID", &itemGroup, &itemGroupId},       {u"OrderID", &itemOrder, &itemOrderId},
    };
    for (const Linked& entry : linked) {
        if (name == QStringView(entry.element)) {
            // An id element without a "value" attribute gives an empty id.
            *entry.id = attributes.value(QLatin1String(Xml::ValueAttribute)).toString();
            m_textTarget = entry.text;
            return;
        }
    }
    if (name == QLatin1String(Xml::Item)) {
        clearItem();
        m_textTarget = nullptr;
    } else if (name == QLatin1String(Xml::NoteId)) {
        m_textTarget = &itemId;
    } else if (name == QLatin1String(Xml::Note)) {
        m_textTarget = &itemNote;
    } else if (name == QLatin1String(Xml::DateTimeCreate)) {
        m_textTarget = &itemDateTimeCreate;
    } else {
        m_textTarget = nullptr;
    }
}

void NotesFeed::foundCharacters(QStringView text)
{
    if (!m_textTarget)
        return;
    const QStringView piece = XmlPushParser::trimmed(text);
    if (!piece.isEmpty())
        m_textTarget->append(piece);
}

void NotesFeed::didEndElement(QStringView name)
{
    if (name != QLatin1String(Xml::Item))
        return;
    auto record = std::make_shared<Note>();
    record->id = itemId;
    record->note = itemNote;
    record->dateTimeCreate = NoteDate::displayText(itemDateTimeCreate);
    record->project = itemProject;
    record->projectId = itemProjectId;
    record->realEstate = itemRealEstate;
    record->realEstateId = itemRealEstateId;
    record->task = itemTask;
    record->taskId = itemTaskId;
    record->group = itemGroup;
    record->groupId = itemGroupId;
    record->client = itemClient;
    record->clientId = itemClientId;
    record->order = itemOrder;
    record->orderId = itemOrderId;
    noteObjects.append(std::move(record));
}

void NotesFeed::parseErrorOccurred(const QString& description)
{
    Console::print(QLatin1String(ParseErrorPrefix) + description);
}
