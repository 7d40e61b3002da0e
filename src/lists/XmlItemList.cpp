#include "lists/XmlItemList.h"

#include "app/Console.h"
#include "app/Localization.h"
#include "lists/PickList.h"
#include "ServerContract.h"
#include "net/XmlPushParser.h"

XmlItemList::XmlItemList(const char* requestFile, const char* action, const char* idElement,
                         const char* placeholderKey, QObject* parent)
    : QObject(parent), m_endpoint(QLatin1String(requestFile), QLatin1String(action)),
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
    DataEndpoint::ListHandlers handlers;
    handlers.onXml = [this, popUpButton, completion](const QByteArray& xml) {
        takeXmlItems(xml, popUpButton, completion);
    };
    handlers.onFailed = [completion] {
        if (completion)
            completion(false);
    };
    m_endpoint.requestList(QLatin1String(m_requestAction), parameters, std::move(handlers));
}

void XmlItemList::takeXmlItems(const QByteArray& xml, PickList* popUpButton,
                               const Completion& completion)
{
    parseRecords(xml);
    refill(popUpButton);
    if (completion)
        completion(true);
}

void XmlItemList::parseRecords(const QByteArray& xml)
{
    clearRecords();
    m_parser = std::make_unique<XmlPushParser>(xml);
    m_parser->setDelegate(this);
    m_parser->parse();
}

// Adding by title collapses equal names to one item at the later position, and a record named
// like the placeholder takes its place; the user still sees every distinct name once.
void XmlItemList::refill(PickList* popUpButton) const
{
    if (!popUpButton)
        return;
    popUpButton->removeAllItems();
    popUpButton->addItemWithTitle(Localization::text(m_placeholderKey));
    for (const QString& title : recordTitles())
        popUpButton->addItemWithTitle(title);
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
    if (name == QLatin1String(ServerContract::Xml::Item))
        clearItemFields();
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
    if (name == QLatin1String(ServerContract::Xml::Item))
        appendItem();
}

void XmlItemList::parseErrorOccurred(const QString& description)
{
    Console::print(QStringLiteral("failure error: ") + description);
}
