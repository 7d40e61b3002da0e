#include "notes/NotesFeed.h"

#include "app/Console.h"
#include "net/DataEndpoint.h"
#include "ServerContract.h"
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
    m_endpoint->requestList(QLatin1String(ServerContract::Action::Notes),
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
    sendAdd([this] { return *note; });
}

void NotesFeed::actionAddXMLItem(const Note& draft)
{
    sendAdd([draft] { return draft; });
}

// The source is read when the request is composed, and again for a repeat after a new login.
void NotesFeed::sendAdd(std::function<Note()> source)
{
    sendCommand(ServerContract::Action::AddNote, QLatin1String(AddedLine),
                [source = std::move(source)]() -> DataEndpoint::Parameters {
                    const Note added = source();
                    return {{Form::Note, added.note},
                            {Form::ProjectId, added.projectId},
                            {Form::ClientId, added.clientId}};
                });
}

void NotesFeed::actionDeleteXMLItem()
{
    sendCommand(ServerContract::Action::DeleteNote, QLatin1String(DeletedLine),
                [this]() -> DataEndpoint::Parameters {
                    return {{Form::NoteId, note->id}};
                });
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
    for (QString* field :
         {&itemId, &itemNote, &itemDateTimeCreate, &itemRealEstate, &itemRealEstateId, &itemProject,
          &itemProjectId, &itemTask, &itemTaskId, &itemGroup, &itemGroupId, &itemClient,
          &itemClientId, &itemOrder, &itemOrderId})
        field->clear();
}

// The element names of an item, told apart by length first: this runs for every element.
NotesFeed::Element NotesFeed::elementOf(QStringView name)
{
    const auto is = [name](QLatin1String candidate) { return name == candidate; };
    switch (name.size()) {
    case 4:
        if (is(QLatin1String(Xml::Item)))
            return Element::Item;
        if (is(QLatin1String(Xml::Note)))
            return Element::Note;
        break;
    case 6:
        if (is(QLatin1String(Xml::NoteId)))
            return Element::NoteId;
        if (is(QLatin1String(Xml::TaskId)))
            return Element::TaskId;
        break;
    case 7:
        if (is(QLatin1String(Xml::GroupId)))
            return Element::GroupId;
        if (is(QLatin1String(Xml::OrderId)))
            return Element::OrderId;
        break;
    case 8:
        if (is(QLatin1String(Xml::ClientId)))
            return Element::ClientId;
        break;
    case 9:
        if (is(QLatin1String(Xml::ProjectId)))
            return Element::ProjectId;
        break;
    case 12:
        if (is(QLatin1String(Xml::RealEstateId)))
            return Element::RealEstateId;
        break;
    case 15:
        if (is(QLatin1String(Xml::DateTimeCreate)))
            return Element::DateTimeCreate;
        break;
    default:
        break;
    }
    return Element::Other;
}

void NotesFeed::didStartElement(QStringView name, const QXmlStreamAttributes& attributes)
{
    // Reuses the string's buffer.
    currentParsedElement.resize(0);
    currentParsedElement.append(name);

    QString* linkedId = nullptr;
    switch (elementOf(name)) {
    case Element::Item:
        clearItem();
        m_textTarget = nullptr;
        return;
    case Element::NoteId:
        m_textTarget = &itemId;
        return;
    case Element::Note:
        m_textTarget = &itemNote;
        return;
    case Element::DateTimeCreate:
        m_textTarget = &itemDateTimeCreate;
        return;
    case Element::ProjectId:
        m_textTarget = &itemProject;
        linkedId = &itemProjectId;
        break;
    case Element::RealEstateId:
        m_textTarget = &itemRealEstate;
        linkedId = &itemRealEstateId;
        break;
    case Element::TaskId:
        m_textTarget = &itemTask;
        linkedId = &itemTaskId;
        break;
    case Element::GroupId:
        m_textTarget = &itemGroup;
        linkedId = &itemGroupId;
        break;
    case Element::ClientId:
        m_textTarget = &itemClient;
        linkedId = &itemClientId;
        break;
    case Element::OrderId:
        m_textTarget = &itemOrder;
        linkedId = &itemOrderId;
        break;
    case Element::Other:
        m_textTarget = nullptr;
        return;
    }
    // An id element without a "value" attribute gives an empty id.
    *linkedId = attributes.value(QLatin1String(Xml::ValueAttribute)).toString();
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
    if (elementOf(name) != Element::Item)
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
