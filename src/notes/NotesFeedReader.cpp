#include "NotesFeedReader.h"

#include "Limits.h"
#include "NoteDate.h"
#include "ServerContract.h"
#include "XmlPushParser.h"

namespace Xml = ServerContract::Xml;

NotesFeedReader::Result NotesFeedReader::read(const QByteArray& xml)
{
    NotesFeedReader reader;
    XmlPushParser parser(xml);
    reader.m_parser = &parser;
    parser.setDelegate(&reader);
    parser.parse();
    return {std::move(reader.m_notes), std::move(reader.m_error), reader.m_dropped};
}

void NotesFeedReader::clearItem()
{
    for (QString* field :
         {&m_itemId, &m_itemNote, &m_itemDateTimeCreate, &m_itemRealEstate, &m_itemRealEstateId,
          &m_itemProject, &m_itemProjectId, &m_itemTask, &m_itemTaskId, &m_itemGroup,
          &m_itemGroupId, &m_itemClient, &m_itemClientId, &m_itemOrder, &m_itemOrderId})
        field->clear();
}

// The element names of an item, told apart by length first: this runs for every element.
NotesFeedReader::Element NotesFeedReader::elementOf(QStringView name)
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

void NotesFeedReader::didStartElement(QStringView name, const QXmlStreamAttributes& attributes)
{
    QString* linkedId = nullptr;
    switch (elementOf(name)) {
    case Element::Item:
        // An item inside an item would give the outer note the inner one's fields.
        if (m_inItem)
            return m_parser->abortParsing(QStringLiteral("an item inside an item"));
        m_inItem = true;
        clearItem();
        m_textTarget = nullptr;
        return;
    case Element::NoteId:
        m_textTarget = &m_itemId;
        return;
    case Element::Note:
        m_textTarget = &m_itemNote;
        return;
    case Element::DateTimeCreate:
        m_textTarget = &m_itemDateTimeCreate;
        return;
    case Element::ProjectId:
        m_textTarget = &m_itemProject;
        linkedId = &m_itemProjectId;
        break;
    case Element::RealEstateId:
        m_textTarget = &m_itemRealEstate;
        linkedId = &m_itemRealEstateId;
        break;
    case Element::TaskId:
        m_textTarget = &m_itemTask;
        linkedId = &m_itemTaskId;
        break;
    case Element::GroupId:
        m_textTarget = &m_itemGroup;
        linkedId = &m_itemGroupId;
        break;
    case Element::ClientId:
        m_textTarget = &m_itemClient;
        linkedId = &m_itemClientId;
        break;
    case Element::OrderId:
        m_textTarget = &m_itemOrder;
        linkedId = &m_itemOrderId;
        break;
    case Element::Other:
        m_textTarget = nullptr;
        return;
    }
    // An id element without a "value" attribute gives an empty id.
    *linkedId = attributes.value(QLatin1String(Xml::ValueAttribute)).toString();
}

void NotesFeedReader::foundCharacters(QStringView text)
{
    if (!m_textTarget)
        return;
    if (m_textTarget == &m_itemNote) {
        m_itemNote.append(text);
        return;
    }
    const QStringView piece = XmlPushParser::trimmed(text);
    if (!piece.isEmpty())
        m_textTarget->append(piece);
}

void NotesFeedReader::foundCDATA(QStringView text)
{
    if (m_textTarget == &m_itemNote)
        m_itemNote.append(text);
}

void NotesFeedReader::didEndElement(QStringView name)
{
    const Element element = elementOf(name);
    // White space between the elements of an item never joins a note's text.
    if (element == Element::Note && m_textTarget == &m_itemNote)
        m_textTarget = nullptr;
    if (element != Element::Item)
        return;
    m_inItem = false;
    if (m_notes.size() >= Limits::MaxListItems) {
        ++m_dropped;
        return;
    }
    Note& record = m_notes.emplace_back();
    record.id = m_itemId;
    record.note = m_itemNote;
    record.dateTimeCreate = NoteDate::displayText(m_itemDateTimeCreate);
    record.createdText = m_itemDateTimeCreate;
    record.project = shared(m_itemProject);
    record.projectId = shared(m_itemProjectId);
    record.realEstate = shared(m_itemRealEstate);
    record.realEstateId = shared(m_itemRealEstateId);
    record.task = shared(m_itemTask);
    record.taskId = shared(m_itemTaskId);
    record.group = shared(m_itemGroup);
    record.groupId = shared(m_itemGroupId);
    record.client = shared(m_itemClient);
    record.clientId = shared(m_itemClientId);
    record.order = shared(m_itemOrder);
    record.orderId = shared(m_itemOrderId);
}

// The names and ids of linked records repeat from note to note; each distinct text is kept once
// and shared, which keeps a long list small.
QString NotesFeedReader::shared(const QString& text)
{
    if (text.isEmpty())
        return {};
    return *m_texts.insert(text);
}

void NotesFeedReader::parseErrorOccurred(const QString& description)
{
    m_error = description;
}
