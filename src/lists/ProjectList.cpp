#include "ProjectList.h"

#include "Localization.h"
#include "ServerContract.h"

ProjectList::ProjectList(MemberCenter& membercenter, QObject* parent)
    : XmlItemList(membercenter, ServerContract::Script::Projects, ServerContract::Action::Projects,
                  ServerContract::Xml::ProjectId, Localization::ProjectPlaceholder, parent)
{
}

void ProjectList::clearRecords()
{
    m_projectObjects.clear();
}

QStringList ProjectList::recordTitles() const
{
    QStringList titles;
    titles.reserve(m_projectObjects.size());
    for (const auto& project : m_projectObjects)
        titles.append(project->name);
    return titles;
}

void ProjectList::appendItem()
{
    m_projectObjects.append(
        std::make_shared<Project>(Project{itemId(), itemName(), m_itemCategory, m_itemCategoryId}));
}

void ProjectList::clearItemFields()
{
    XmlItemList::clearItemFields();
    m_itemCategory.clear();
    m_itemCategoryId.clear();
}

// The category id comes from the attribute of the latest CatID; its text goes to the category
// name like any other field.
void ProjectList::startElement(QStringView name, const QXmlStreamAttributes& attributes)
{
    if (name == QLatin1String(ServerContract::Xml::CategoryId))
        m_itemCategoryId =
            attributes.value(QLatin1String(ServerContract::Xml::ValueAttribute)).toString();
}

QString* ProjectList::fieldOfCurrentElement()
{
    if (currentParsedElement() == QLatin1String(ServerContract::Xml::CategoryId))
        return &m_itemCategory;
    return XmlItemList::fieldOfCurrentElement();
}
