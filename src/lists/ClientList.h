#pragma once

#include "Client.h"
#include "XmlItemList.h"

#include <QList>

#include <memory>

// The active clients of the company, for the client pick list of a note.
class ClientList : public XmlItemList
{
    Q_OBJECT
public:
    explicit ClientList(MemberCenter& membercenter, QObject* parent = nullptr);

    // In the order of the last list answer.
    const QList<std::shared_ptr<Client>>& clientObjects() const { return m_clientObjects; }

protected:
    void clearRecords() override;
    QStringList recordTitles() const override;
    void appendItem() override;

private:
    QList<std::shared_ptr<Client>> m_clientObjects;
};
