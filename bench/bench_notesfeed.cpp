// Parses notes feeds of 100 and 10,000 items into records and compares the time with a bare
// QXmlStreamReader pass over the same bytes. Prints microseconds per item, MB/s, the ratio to
// the bare pass, and the heap held by 10,000 parsed notes.
//
//   build/bench/bench_notesfeed [repetitions]

#include "NotesFeedReader.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QXmlStreamReader>

#include <malloc.h>

#include <algorithm>
#include <cstdio>

namespace {
QByteArray makeFeed(int items)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<notes>\n";
    for (int i = 0; i < items; ++i) {
        const QByteArray n = QByteArray::number(i);
        // Creation times spread over about eight years, as a long-used account has them.
        const QByteArray created = QDateTime(QDate(2017, 5, 4).addDays(i % 3000), QTime(13, 7, 55))
                                       .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                       .toLatin1();
        xml += "  <item>\n    <NoteID>" + n +
               "</NoteID>\n"
               "    <note>Zavolať pánovi Kováčovi ohľadom strechy &amp; okien č. " +
               n +
               "&#13;\nDruhý riadok poznámky.</note>\n"
               "    <datetime_create>" +
               created +
               "</datetime_create>\n"
               "    <ProjectID value=\"12\">Rekonštrukcia strechy</ProjectID>\n"
               "    <RealEstateID value=\"0\"></RealEstateID>\n"
               "    <TaskID value=\"0\"></TaskID>\n"
               "    <GroupID value=\"0\"></GroupID>\n"
               "    <ClientID value=\"7\">Stavby Žilina s.r.o.</ClientID>\n"
               "    <OrderID value=\"0\"></OrderID>\n  </item>\n";
    }
    return xml + "</notes>\n";
}

// Reads every token and touches the text, as any consumer of the document must.
qsizetype barePass(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    qsizetype characters = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::Characters)
            characters += reader.text().size();
    }
    return characters;
}

template <typename F> double bestMicroseconds(int repetitions, F&& run)
{
    double best = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    return best;
}

void measure(int items, int repetitions)
{
    const QByteArray xml = makeFeed(items);
    NotesFeedReader::Result read;
    qsizetype sink = 0;
    const double bare = bestMicroseconds(repetitions, [&] { sink += barePass(xml); });
    const double parse = bestMicroseconds(repetitions, [&] { read = NotesFeedReader::read(xml); });
    if (read.notes.size() != items || sink == 0) {
        std::fprintf(stderr, "parse produced %lld notes, expected %d\n",
                     static_cast<long long>(read.notes.size()), items);
        std::exit(1);
    }
    const double megabytes = static_cast<double>(xml.size()) / 1e6;
    std::printf("%6d items  %8.1f KB  feed %9.1f us (%6.3f us/item, %6.1f MB/s)  "
                "bare %9.1f us (%6.1f MB/s)  ratio %.2f\n",
                items, static_cast<double>(xml.size()) / 1024.0, parse, parse / items,
                megabytes / (parse / 1e6), bare, megabytes / (bare / 1e6), parse / bare);
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void measureMemory(int items)
{
    const QByteArray xml = makeFeed(items);
    const size_t before = heapInUse();
    const NotesFeedReader::Result read = NotesFeedReader::read(xml);
    const size_t after = heapInUse();
    std::printf("heap held by %d parsed notes: %.2f MB (%.0f bytes/note); document %.2f MB\n",
                items, static_cast<double>(after - before) / 1e6,
                static_cast<double>(after - before) / items, static_cast<double>(xml.size()) / 1e6);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    measure(100, repetitions * 10);
    measure(10000, repetitions);
    measureMemory(10000);
    return 0;
}
