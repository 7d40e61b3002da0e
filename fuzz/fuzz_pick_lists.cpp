// The client and the project list and their pick lists (ComboPickList on a real combo box), in
// two ways chosen by the first byte:
//  - '<': the input is a list as it arrives, any bytes at all, read by both lists. Every record
//    must be trimmed, no list may keep more than the cap, and each pick list must show exactly
//    what Reference::pickListTitles makes of the placeholder and the record names.
//  - anything else: the input says which clients or projects a server sends. The harness writes
//    them as a list (ListWriter), the list reads it back, and every record up to the cap must
//    come back with its id, name and category trimmed and its category id as sent; the pick
//    list must show the reference's titles. ComboPickList::distinctTitles is also given the
//    names as generated, untrimmed, against the same reference.

#include "ClientList.h"
#include "ComboPickList.h"
#include "FuzzSupport.h"
#include "Limits.h"
#include "Localization.h"
#include "ProjectList.h"
#include "Reference.h"
#include "ServerValues.h"

#include <QComboBox>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>

static_assert(Limits::MaxListItems <= 100,
              "the fuzz build lowers the item cap so that its inputs reach it");

namespace {
QStringList titlesOf(const ComboPickList& pickList)
{
    QStringList titles;
    for (int i = 0; i < pickList.numberOfItems(); ++i)
        titles.append(pickList.itemTitleAtIndex(i));
    return titles;
}

void expectTitles(const char* what, const QStringList& expected, const QStringList& actual)
{
    if (actual != expected)
        FuzzSupport::fail(what, expected.join(QLatin1String(" | ")),
                          actual.join(QLatin1String(" | ")));
}

// What both lists' records have: an id and a name.
template <typename Records>
QStringList namesOf(const Records& records)
{
    QStringList names;
    for (const auto& record : records)
        names.append(record->name);
    return names;
}

template <typename Records> void checkTrimmed(const Records& records)
{
    for (const auto& record : records) {
        if (!record)
            FuzzSupport::fail("a list holds an empty record");
        if (!Reference::isTrimmed(record->id) || !Reference::isTrimmed(record->name))
            FuzzSupport::fail("a record's id or name is not trimmed",
                              Reference::trimmed(record->id + u'|' + record->name),
                              record->id + u'|' + record->name);
    }
    if (records.size() > Limits::MaxListItems)
        FuzzSupport::fail("a list kept more records than the cap");
}

void readArrivingList(const QByteArray& xml)
{
    QComboBox clientBox;
    ComboPickList clientPicks(&clientBox);
    ClientList clients(FuzzSupport::session());
    clients.takeXmlItems(xml, &clientPicks);
    checkTrimmed(clients.clientObjects());
    expectTitles("the client pick list does not show the records",
                 Reference::pickListTitles(
                     QStringList{Localization::text(Localization::ClientPlaceholder)} +
                     namesOf(clients.clientObjects())),
                 titlesOf(clientPicks));

    QComboBox projectBox;
    ComboPickList projectPicks(&projectBox);
    ProjectList projects(FuzzSupport::session());
    projects.takeXmlItems(xml, &projectPicks);
    checkTrimmed(projects.projectObjects());
    for (const auto& project : projects.projectObjects())
        if (!Reference::isTrimmed(project->category))
            FuzzSupport::fail("a project's category is not trimmed",
                              Reference::trimmed(project->category), project->category);
    expectTitles("the project pick list does not show the records",
                 Reference::pickListTitles(
                     QStringList{Localization::text(Localization::ProjectPlaceholder)} +
                     namesOf(projects.projectObjects())),
                 titlesOf(projectPicks));

    // Without a pick list only the records are replaced.
    projects.takeXmlItems(xml, nullptr);
}

struct Record
{
    QString id, name, category, categoryId;
};

void readWrittenList(const std::uint8_t* data, std::size_t size)
{
    ValueSource values(data, size);
    const bool forProjects = values.flag();
    const QString placeholder = Localization::text(forProjects ? Localization::ProjectPlaceholder
                                                               : Localization::ClientPlaceholder);
    const char* const idElement = forProjects ? "ProjectID" : "ClientID";
    const int items = values.count(Limits::MaxListItems + 8);

    ListWriter writer(forProjects ? "projects" : "clients");
    QList<Record> expected;
    QStringList namesAsSent;
    for (int i = 0; i < items; ++i) {
        Record& record = expected.emplace_back();
        const bool references = values.flag();
        const int fields = forProjects ? 3 : 2;
        const int first = values.count(fields - 1);
        writer.beginItem();
        for (int k = 0; k < fields; ++k) {
            if (!values.flag())
                continue;
            switch ((first + k) % fields) {
            case 0: {
                const QStringList pieces = values.pieces(false);
                writer.addText(idElement, pieces, references);
                record.id = Reference::joinedTrimmed(pieces);
                break;
            }
            case 1: {
                const QStringList pieces = values.pieces(true, placeholder);
                writer.addText("name", pieces, references);
                record.name = Reference::joinedTrimmed(pieces);
                namesAsSent.append(pieces.join(QString()));
                break;
            }
            default: {
                std::optional<QString> id;
                if (values.flag())
                    id = values.text(4);
                const QStringList pieces = values.pieces(false);
                writer.addLinked("CatID", id, pieces, references);
                record.categoryId = id.value_or(QString());
                record.category = Reference::joinedTrimmed(pieces);
                break;
            }
            }
            if (values.count(15) == 0)
                writer.addOther(values.text(4));
        }
        writer.endItem();
    }
    const QByteArray xml = writer.finish();
    const int kept = std::min(items, Limits::MaxListItems);
    QStringList expectedTitles{placeholder};
    for (int i = 0; i < kept; ++i)
        expectedTitles.append(expected.at(i).name);
    expectedTitles = Reference::pickListTitles(expectedTitles);

    QComboBox box;
    ComboPickList picks(&box);
    QList<Record> read;
    if (forProjects) {
        ProjectList projects(FuzzSupport::session());
        projects.takeXmlItems(xml, &picks);
        for (const auto& project : projects.projectObjects())
            read.append({project->id, project->name, project->category, project->categoryId});
    } else {
        ClientList clients(FuzzSupport::session());
        clients.takeXmlItems(xml, &picks);
        for (const auto& client : clients.clientObjects())
            read.append({client->id, client->name, QString(), QString()});
    }
    if (read.size() != kept)
        FuzzSupport::fail("records went missing or the cap was not kept", QString::number(kept),
                          QString::number(read.size()));
    for (int i = 0; i < kept; ++i) {
        FuzzSupport::expectEqual("a record's id differs", expected.at(i).id, read.at(i).id);
        FuzzSupport::expectEqual("a record's name differs", expected.at(i).name, read.at(i).name);
        FuzzSupport::expectEqual("a project's category differs", expected.at(i).category,
                                 read.at(i).category);
        FuzzSupport::expectEqual("a project's category id differs", expected.at(i).categoryId,
                                 read.at(i).categoryId);
    }
    expectTitles("the pick list does not show the records", expectedTitles, titlesOf(picks));
    expectTitles("distinctTitles differs from filling one by one",
                 Reference::pickListTitles(namesAsSent),
                 ComboPickList::distinctTitles(namesAsSent));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::setUp(argc, argv, FuzzSupport::Application::Widgets);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && data[0] == '<')
        readArrivingList(FuzzSupport::bytesOf(data, size));
    else if (size > 0)
        readWrittenList(data + 1, size - 1);
    return 0;
}
