// The client and the project list on the same arbitrary bytes: each reads its records from the
// XML and refills a pick list with the placeholder and one title per distinct name.

#include "ClientList.h"
#include "FuzzSupport.h"
#include "PickList.h"
#include "ProjectList.h"
#include "XmlPushParser.h"

#include <QSet>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace {
// A pick list in memory, with the behaviour PickList.h asks for.
class MemoryPickList : public PickList
{
public:
    void removeAllItems() override
    {
        m_titles.clear();
        m_selected = -1;
    }
    void addItemWithTitle(const QString& title) override
    {
        m_titles.removeAll(title);
        m_titles.append(title);
        m_selected = -1;
    }
    // Each title at the position of its last occurrence, as adding them one by one leaves it.
    void replaceAllItems(const QStringList& titles) override
    {
        QSet<QString> seen;
        QStringList kept;
        for (auto title = titles.crbegin(); title != titles.crend(); ++title)
            if (!seen.contains(*title)) {
                seen.insert(*title);
                kept.prepend(*title);
            }
        m_titles = kept;
        m_selected = -1;
    }
    void selectItemWithTitle(const QString& title) override
    {
        m_selected = static_cast<int>(m_titles.indexOf(title));
    }
    void selectItemAtIndex(int index) override
    {
        m_selected = index >= 0 && index < numberOfItems() ? index : -1;
    }
    std::optional<QString> titleOfSelectedItem() const override
    {
        if (m_selected < 0)
            return std::nullopt;
        return m_titles.at(m_selected);
    }
    int numberOfItems() const override { return static_cast<int>(m_titles.size()); }
    QString itemTitleAtIndex(int index) const override { return m_titles.value(index); }

private:
    QStringList m_titles;
    int m_selected = -1;
};

bool isTrimmed(const QString& text)
{
    return XmlPushParser::trimmed(text).size() == text.size();
}

// The pick list holds every record's name once, and nothing else but the placeholder.
template <typename Records> void checkRefill(const Records& records, const MemoryPickList& pickList)
{
    QSet<QString> names;
    for (const auto& record : records) {
        if (!record)
            FuzzSupport::fail("a list holds an empty record");
        if (!isTrimmed(record->id) || !isTrimmed(record->name))
            FuzzSupport::fail("a record's id or name is not trimmed");
        names.insert(record->name);
    }
    QSet<QString> titles;
    for (int i = 0; i < pickList.numberOfItems(); ++i)
        titles.insert(pickList.itemTitleAtIndex(i));
    if (titles.size() != pickList.numberOfItems())
        FuzzSupport::fail("the pick list shows a title twice");
    if (!titles.contains(names) || titles.size() > names.size() + 1)
        FuzzSupport::fail("the pick list does not match the records");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::setUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray xml = FuzzSupport::bytesOf(data, size);

    ClientList clients(FuzzSupport::session());
    MemoryPickList clientPicks;
    clients.takeXmlItems(xml, &clientPicks);
    checkRefill(clients.clientObjects(), clientPicks);

    ProjectList projects(FuzzSupport::session());
    MemoryPickList projectPicks;
    projects.takeXmlItems(xml, &projectPicks);
    checkRefill(projects.projectObjects(), projectPicks);
    for (const auto& project : projects.projectObjects())
        if (!isTrimmed(project->category))
            FuzzSupport::fail("a project's category is not trimmed");

    // Without a pick list only the records are replaced.
    projects.takeXmlItems(xml, nullptr);
    return 0;
}
