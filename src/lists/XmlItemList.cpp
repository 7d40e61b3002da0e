#include "XmlItemList.h"

#include "Console.h"
#include "Limits.h"
#include "ListRequest.h"
#include "Localization.h"
#include "PickList.h"
#include "RequestReport.h"
#include "ServerContract.h"
#include "XmlPushParser.h"

XmlItemList::XmlItemList(MemberCenter& membercenter, const char* requestFile, const char* action,
                         const char* idElement, const char* placeholderKey, QObject* parent)
    : QObject(parent), m_endpoint(membercenter, QLatin1String(requestFile)),
      m_requestAction(action), m_idElement(QLatin1String(idElement)),
      m_placeholderKey(placeholderKey),
      m_searchStatusID(QLatin1String(ServerContract::ActiveStatus))
{
}

XmlItemList::~XmlItemList() = default;

void XmlItemList::actionGetXMLItems(PickList* popUpButton, Completion completion)
{
    // The status is read when the body is composed, so a repeat after a new login asks for what
    // the list is set to then.
    auto parameters = [this] {
        return DataEndpoint::Parameters{
            {ServerContract::Form::StatusId, m_searchStatusID},
            {ServerContract::Form::Limit, QLatin1String(ServerContract::ListLimit)}};
    };
    m_popUpButton = popUpButton;
    m_endpoint.requestList(QLatin1String(m_requestAction), parameters,
                           [this, completion](const ListRequest& request) {
                               const bool filled =
                                   request.outcome() == ApiRequest::Outcome::Succeeded;
                               if (filled) {
                                   takeXmlItems(request.xml(), m_popUpButton);
                                   emit loaded(request.xml());
                               }
                               if (completion)
                                   completion(filled);
                           });
}

void XmlItemList::takeXmlItems(const QByteArray& xml, PickList* popUpButton)
{
    clearRecords();
    XmlPushParser parser(xml);
    m_parser = &parser;
    m_inItem = false;
    m_items = 0;
    parser.setDelegate(this);
    parser.parse();
    m_parser = nullptr;
    if (m_items > Limits::MaxListItems)
        RequestReport::printDroppedItems(m_items - Limits::MaxListItems);
    refill(popUpButton);
}

// Adding by title collapses equal names to one item at the later position, and a record named
// like the placeholder takes its place; the user still sees every distinct name once.
void XmlItemList::refill(PickList* popUpButton) const
{
    if (!popUpButton)
        return;
    popUpButton->replaceAllItems(QStringList{Localization::text(m_placeholderKey)} +
                                 recordTitles());
}

void XmlItemList::clearItemFields()
{
    m_itemId.clear();
    m_itemName.clear();
}

void XmlItemList::startElement(QStringView, const QXmlStreamAttributes&) {}

QString* XmlItemList::fieldOfCurrentElement()
{
    if (m_currentParsedElement == m_idElement)
        return &m_itemId;
    if (m_currentParsedElement == QLatin1String(ServerContract::Xml::Name))
        return &m_itemName;
    return nullptr;
}

void XmlItemList::didStartElement(QStringView name, const QXmlStreamAttributes& attributes)
{
    m_currentParsedElement = name.toString();
    if (name == QLatin1String(ServerContract::Xml::Item)) {
        // An item inside an item would give the outer record the inner one's fields.
        if (m_inItem)
            return m_parser->abortParsing(QStringLiteral("an item inside an item"));
        m_inItem = true;
        clearItemFields();
    }
    startElement(name, attributes);
}

// The current element is kept past its end tag on purpose: text that follows a closing tag
// inside the same item still belongs to the field that was open last.
void XmlItemList::foundCharacters(QStringView text)
{
    const QStringView trimmed = XmlPushParser::trimmed(text);
    if (trimmed.isEmpty())
        return;
    if (QString* field = fieldOfCurrentElement())
        field->append(trimmed);
}

void XmlItemList::didEndElement(QStringView name)
{
    if (name != QLatin1String(ServerContract::Xml::Item))
        return;
    m_inItem = false;
    if (++m_items <= Limits::MaxListItems)
        appendItem();
}

void XmlItemList::parseErrorOccurred(const QString& description)
{
    RequestReport::printBrokenList(description, qMin(m_items, Limits::MaxListItems));
}
