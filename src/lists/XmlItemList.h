#pragma once

#include "DataEndpoint.h"
#include "XmlEventHandler.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class MemberCenter;
class PickList;
class XmlPushParser;

// What the client and project lists have in common: the request for the active items, the
// reading of the XML answer item by item, and the refill of the pick list the user chooses from.
// A subclass names its script, action, id element and placeholder, keeps its own records and
// routes the text of its own elements.
class XmlItemList : public QObject, private XmlEventHandler
{
    Q_OBJECT
public:
    using Completion = std::function<void(bool filled)>;

    ~XmlItemList() override;

    // Asks the server for the items with searchStatusID. Returns at once; an XML answer refills
    // the records and popUpButton and then calls completion(true); every other outcome leaves
    // both as they were and calls completion(false). A newer call cancels the one still in
    // flight. popUpButton must outlive the request, or be taken back with detachPickList().
    void actionGetXMLItems(PickList* popUpButton, Completion completion);
    // From now on answers refill the records only, no pick list.
    void detachPickList() { m_popUpButton = nullptr; }

    // The XML step of an answer: reads the records from xml, refills popUpButton with the
    // placeholder and one title per record.
    void takeXmlItems(const QByteArray& xml, PickList* popUpButton);

    const DataEndpoint& endpoint() const { return m_endpoint; }

signals:
    // The server's answer was taken up; the bytes as they came, for an offline copy.
    void loaded(const QByteArray& xml);

public:

    const QString& searchStatusID() const { return m_searchStatusID; }
    void setSearchStatusID(const QString& statusId) { m_searchStatusID = statusId; }

protected:
    XmlItemList(MemberCenter& membercenter, const char* requestFile, const char* action,
                const char* idElement, const char* placeholderKey, QObject* parent);

    virtual void clearRecords() = 0;
    // The titles of the records in their order.
    virtual QStringList recordTitles() const = 0;
    // Called at the end of an item with the accumulated fields.
    virtual void appendItem() = 0;

    // At the start of an item.
    virtual void clearItemFields();
    // At the start of any element, after currentParsedElement took its name.
    virtual void startElement(QStringView name, const QXmlStreamAttributes& attributes);
    // Where the text of the current element goes; null for text that is not kept.
    virtual QString* fieldOfCurrentElement();

    const QString& currentParsedElement() const { return m_currentParsedElement; }
    const QString& itemId() const { return m_itemId; }
    const QString& itemName() const { return m_itemName; }

private:
    void didStartElement(QStringView name, const QXmlStreamAttributes& attributes) override;
    void foundCharacters(QStringView text) override;
    void didEndElement(QStringView name) override;
    void parseErrorOccurred(const QString& description) override;

    void refill(PickList* popUpButton) const;

    DataEndpoint m_endpoint;
    const char* const m_requestAction;
    const QString m_idElement;
    const char* const m_placeholderKey;
    QString m_searchStatusID;
    PickList* m_popUpButton = nullptr;
    XmlPushParser* m_parser = nullptr;
    bool m_inItem = false;
    int m_items = 0;
    QString m_currentParsedElement;
    QString m_itemId;
    QString m_itemName;
};
