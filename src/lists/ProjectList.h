#pragma once

#include "Project.h"
#include "XmlItemList.h"

#include <QList>

#include <memory>

// The active projects of the company with their categories, for the project pick list of a
// note.
class ProjectList : public XmlItemList
{
    Q_OBJECT
public:
    explicit ProjectList(MemberCenter& membercenter, QObject* parent = nullptr);

    // In the order of the last list answer.
    const QList<std::shared_ptr<Project>>& projectObjects() const { return m_projectObjects; }

protected:
    void clearRecords() override;
    QStringList recordTitles() const override;
    void appendItem() override;
    void clearItemFields() override;
    void startElement(QStringView name, const QXmlStreamAttributes& attributes) override;
    QString* fieldOfCurrentElement() override;

private:
    QList<std::shared_ptr<Project>> m_projectObjects;
    QString m_itemCategory;
    QString m_itemCategoryId;
};
