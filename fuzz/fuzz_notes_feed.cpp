// The notes feed reader on arbitrary bytes: whatever arrives as a notes list must be read to a
// list of notes and at most one error, with every text field trimmed at both ends.

#include "FuzzSupport.h"
#include "NotesFeedReader.h"
#include "XmlPushParser.h"

#include <cstddef>
#include <cstdint>

namespace {
bool isTrimmed(const QString& text)
{
    return XmlPushParser::trimmed(text).size() == text.size();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::setUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const NotesFeedReader::Result result = NotesFeedReader::read(FuzzSupport::bytesOf(data, size));
    for (const Note& note : result.notes) {
        // The ids in "value" attributes are taken as written; every text but the note's own is
        // gathered from trimmed pieces, and a creation time is either rearranged or left as sent.
        for (const QString* text :
             {&note.id, &note.dateTimeCreate, &note.realEstate, &note.project, &note.task,
              &note.group, &note.client, &note.order})
            if (!isTrimmed(*text))
                FuzzSupport::fail("a text field of a note is not trimmed");
    }
    return 0;
}
