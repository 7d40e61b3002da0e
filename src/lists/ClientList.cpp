#include "ClientList.h"

#include "Localization.h"
#include "ServerContract.h"

ClientList::ClientList(MemberCenter& membercenter, QObject* parent)
    : XmlItemList(membercenter, ServerContract::Script::Clients, ServerContract::Action::Clients,
                  ServerContract::Xml::ClientId, Localization::ClientPlaceholder, parent)
{
}

void ClientList::clearRecords()
{
    m_clientObjects.clear();
}

QStringList ClientList::recordTitles() const
{
    QStringList titles;
    titles.reserve(m_clientObjects.size());
    for (const auto& client : m_clientObjects)
        titles.append(client->name);
    return titles;
}

void ClientList::appendItem()
{
    m_clientObjects.append(std::make_shared<Client>(Client{itemId(), itemName()}));
}
