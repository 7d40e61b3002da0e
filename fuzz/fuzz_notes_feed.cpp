// The notes feed reader, in two ways chosen by the first byte:
//  - '<': the input is a feed as it arrives, any bytes at all. Whatever the reader keeps must
//    follow the rules that hold for every feed: text fields trimmed, the creation time shown as
//    the server's text dictates, no more notes than the cap.
//  - anything else: the input says which notes a server sends. The harness writes them as a feed
//    (ListWriter), reads it back with NotesFeedReader and requires every note up to the cap with
//    every field as expected: the note's text byte for byte, names and ids of elements trimmed,
//    ids of "value" attributes as sent, the creation time as Reference::shownDate has it.
// The local time zone is Central Europe, so that creation times can fall into a skipped hour.

#include "FuzzSupport.h"
#include "Limits.h"
#include "NotesFeedReader.h"
#include "Reference.h"
#include "ServerValues.h"

#include <QList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>

static_assert(Limits::MaxListItems <= 100,
              "the fuzz build lowers the item cap so that its inputs reach it");

namespace {
using Linked = QString Note::*;
struct LinkedElement
{
    const char* element;
    Linked name;
    Linked id;
};
constexpr std::array<LinkedElement, 6> LinkedElements = {{
    {"RealEstateID", &Note::realEstate, &Note::realEstateId},
    {"ProjectID", &Note::project, &Note::projectId},
    {"TaskID", &Note::task, &Note::taskId},
    {"GroupID", &Note::group, &Note::groupId},
    {"ClientID", &Note::client, &Note::clientId},
    {"OrderID", &Note::order, &Note::orderId},
}};
// NoteID, note, datetime_create, then the linked elements.
constexpr int Elements = 3 + int(LinkedElements.size());

// One item of a feed, written and expected.
Note writeItem(ValueSource& values, ListWriter& writer)
{
    Note expected;
    const bool references = values.flag();
    const int first = values.count(Elements - 1);
    writer.beginItem();
    for (int k = 0; k < Elements; ++k) {
        const int element = (first + k) % Elements;
        if (!values.flag())
            continue;
        switch (element) {
        case 0: {
            const QStringList pieces = values.pieces(false);
            writer.addText("NoteID", pieces, references);
            expected.id = Reference::joinedTrimmed(pieces);
            break;
        }
        case 1: {
            QList<ListWriter::Segment> segments;
            for (int n = values.count(3); n > 0; --n) {
                const bool cdata = values.flag();
                segments.append({values.text(), cdata});
                expected.note += segments.last().text;
            }
            writer.addNote(segments, references);
            break;
        }
        case 2: {
            const QString date = values.dateText();
            writer.addText("datetime_create", {date}, references);
            expected.createdText = Reference::trimmed(date);
            expected.dateTimeCreate = Reference::shownDate(expected.createdText);
            break;
        }
        default: {
            const LinkedElement& linked = LinkedElements[std::size_t(element - 3)];
            std::optional<QString> id;
            if (values.flag())
                id = values.text(4);
            const QStringList pieces = values.pieces(false);
            writer.addLinked(linked.element, id, pieces, references);
            expected.*linked.id = id.value_or(QString());
            expected.*linked.name = Reference::joinedTrimmed(pieces);
            break;
        }
        }
        if (values.count(15) == 0)
            writer.addOther(values.text(4));
    }
    writer.endItem();
    return expected;
}

void compare(const Note& expected, const Note& read)
{
    FuzzSupport::expectEqual("a note's id differs", expected.id, read.id);
    FuzzSupport::expectEqual("a note's text differs", expected.note, read.note);
    FuzzSupport::expectEqual("a creation time as sent differs", expected.createdText,
                             read.createdText);
    FuzzSupport::expectEqual("a creation time is shown wrong", expected.dateTimeCreate,
                             read.dateTimeCreate);
    for (const LinkedElement& linked : LinkedElements) {
        FuzzSupport::expectEqual(linked.element, expected.*linked.name, read.*linked.name);
        FuzzSupport::expectEqual(linked.element, expected.*linked.id, read.*linked.id);
    }
}

void readWrittenFeed(const std::uint8_t* data, std::size_t size)
{
    ValueSource values(data, size);
    const int items = values.count(Limits::MaxListItems + 8);
    ListWriter writer("notes");
    QList<Note> expected;
    for (int i = 0; i < items; ++i)
        expected.append(writeItem(values, writer));

    const NotesFeedReader::Result result = NotesFeedReader::read(writer.finish());
    if (!result.error.isEmpty())
        FuzzSupport::fail("a well-formed feed was read as broken", QString(), result.error);
    const int kept = std::min(items, Limits::MaxListItems);
    if (result.notes.size() != kept || result.dropped != items - kept)
        FuzzSupport::fail("notes went missing or the cap was not kept",
                          QStringLiteral("%1 kept, %2 dropped").arg(kept).arg(items - kept),
                          QStringLiteral("%1 kept, %2 dropped")
                              .arg(result.notes.size())
                              .arg(result.dropped));
    for (int i = 0; i < kept; ++i)
        compare(expected.at(i), result.notes.at(i));
}

void readArrivingFeed(const QByteArray& xml)
{
    const NotesFeedReader::Result result = NotesFeedReader::read(xml);
    if (result.notes.size() > Limits::MaxListItems)
        FuzzSupport::fail("a feed kept more notes than the cap");
    if (result.dropped > 0 && result.notes.size() != Limits::MaxListItems)
        FuzzSupport::fail("notes were dropped below the cap");
    for (const Note& note : result.notes) {
        // The note's text is taken as sent; the ids in "value" attributes too.
        for (const QString* text :
             {&note.id, &note.createdText, &note.realEstate, &note.project, &note.task,
              &note.group, &note.client, &note.order})
            if (!Reference::isTrimmed(*text))
                FuzzSupport::fail("a text field of a note is not trimmed", Reference::trimmed(*text),
                                  *text);
        FuzzSupport::expectEqual("a creation time is shown wrong",
                                 Reference::shownDate(note.createdText), note.dateTimeCreate);
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    FuzzSupport::setUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && data[0] == '<')
        readArrivingFeed(FuzzSupport::bytesOf(data, size));
    else if (size > 0)
        readWrittenFeed(data + 1, size - 1);
    return 0;
}
