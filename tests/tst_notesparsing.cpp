// Reading the notes feed into records: what each element contributes, how text pieces are
// trimmed, what survives a broken document, and how creation times are shown.

#include "NoteDate.h"
#include "NotesFeed.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<notes>" + items + "</notes>";
}

QByteArray fullItem(int n)
{
    const QByteArray id = QByteArray::number(n);
    return "<item><NoteID>" + id + "</NoteID><note>text " + id +
           "</note><datetime_create>2017-05-04 13:07:55</datetime_create>"
           "<ProjectID value=\"12\">Roof</ProjectID><RealEstateID value=\"3\">Dom</RealEstateID>"
           "<TaskID value=\"4\">Call</TaskID><GroupID value=\"5\">Team</GroupID>"
           "<ClientID value=\"7\">Alpha</ClientID><OrderID value=\"8\">O-1</OrderID></item>";
}
} // namespace

class NotesParsingTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSettings> settings;

private slots:
    void init() { settings = std::make_unique<TestSettings>(); }

    void everyFieldOfAnItem()
    {
        NotesFeed feed;
        feed.handleXml(::feed(fullItem(1)));
        QCOMPARE(feed.noteObjects.size(), 1);
        const Note& note = *feed.noteObjects.first();
        QCOMPARE(note.id, QStringLiteral("1"));
        QCOMPARE(note.note, QStringLiteral("text 1"));
        QCOMPARE(note.dateTimeCreate, QStringLiteral("04.05.2017 13:07"));
        QCOMPARE(note.project, QStringLiteral("Roof"));
        QCOMPARE(note.projectId, QStringLiteral("12"));
        QCOMPARE(note.realEstate, QStringLiteral("Dom"));
        QCOMPARE(note.realEstateId, QStringLiteral("3"));
        QCOMPARE(note.task, QStringLiteral("Call"));
        QCOMPARE(note.taskId, QStringLiteral("4"));
        QCOMPARE(note.group, QStringLiteral("Team"));
        QCOMPARE(note.groupId, QStringLiteral("5"));
        QCOMPARE(note.client, QStringLiteral("Alpha"));
        QCOMPARE(note.clientId, QStringLiteral("7"));
        QCOMPARE(note.order, QStringLiteral("O-1"));
        QCOMPARE(note.orderId, QStringLiteral("8"));
    }

    void itemsInDocumentOrderAndTheTableIsTold()
    {
        NotesFeed feed;
        QSignalSpy reloads(&feed, &NotesFeed::notesReloaded);
        feed.handleXml(::feed(fullItem(3) + fullItem(1) + fullItem(2)));
        QCOMPARE(feed.noteObjects.size(), 3);
        QCOMPARE(feed.noteObjects.at(0)->id, QStringLiteral("3"));
        QCOMPARE(feed.noteObjects.at(2)->id, QStringLiteral("2"));
        QCOMPARE(reloads.count(), 2); // emptied, then filled
    }

    void noteText_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QString>("text");
        QTest::newRow("blanks and line breaks around")
            << QByteArray("<note>\n   first\nsecond \t\r\n</note>")
            << QStringLiteral("first\nsecond");
        QTest::newRow("escaped characters")
            << QByteArray("<note>a &amp; b &lt;c&gt; + % = &#233;</note>")
            << QStringLiteral("a & b <c> + % = é");
        QTest::newRow("carriage return kept when escaped")
            << QByteArray("<note>a&#13;\nb</note>") << QStringLiteral("a\r\nb");
        QTest::newRow("cdata contributes nothing")
            << QByteArray("<note>x<![CDATA[hidden]]>y</note>") << QStringLiteral("xy");
        QTest::newRow("only cdata") << QByteArray("<note><![CDATA[hidden]]></note>") << QString();
        QTest::newRow("two note elements are joined")
            << QByteArray("<note> one </note><note> two </note>") << QStringLiteral("onetwo");
        QTest::newRow("text after the closing tag counts for it")
            << QByteArray("<note>a</note> b ") << QStringLiteral("ab");
        QTest::newRow("unicode line and paragraph separators trimmed")
            << QByteArray("<note>\xE2\x80\xA8 x \xC2\x85\xE2\x80\xA9</note>")
            << QStringLiteral("x");
        QTest::newRow("no-break space trimmed")
            << QByteArray("<note>\xC2\xA0x\xC2\xA0</note>") << QStringLiteral("x");
    }

    void noteText()
    {
        QFETCH(QByteArray, element);
        QFETCH(QString, text);
        NotesFeed feed;
        feed.handleXml(::feed("<item>" + element + "</item>"));
        QCOMPARE(feed.noteObjects.size(), 1);
        QCOMPARE(feed.noteObjects.first()->note, text);
    }

    void idElements()
    {
        NotesFeed feed;
        feed.handleXml(::feed("<item><ProjectID value=\"1\">A</ProjectID>"
                              "<ProjectID value=\"2\">B</ProjectID>"
                              "<ClientID>NoValue</ClientID></item>"));
        const Note& note = *feed.noteObjects.first();
        QCOMPARE(note.projectId, QStringLiteral("2")); // the last value wins
        QCOMPARE(note.project, QStringLiteral("AB"));  // texts are joined
        QCOMPARE(note.clientId, QString());
        QCOMPARE(note.client, QStringLiteral("NoValue"));
    }

    void emptyFormsAndUnknownElements()
    {
        NotesFeed feed;
        feed.handleXml(::feed("<item/><item><NoteID>5</NoteID><unknown>x</unknown></item>"));
        QCOMPARE(feed.noteObjects.size(), 2);
        const Note& empty = *feed.noteObjects.at(0);
        for (const QString* field :
             {&empty.id, &empty.note, &empty.dateTimeCreate, &empty.client, &empty.clientId,
              &empty.project, &empty.projectId, &empty.order, &empty.orderId})
            QCOMPARE(*field, QString());
        QCOMPARE(feed.noteObjects.at(1)->id, QStringLiteral("5"));
        QCOMPARE(feed.noteObjects.at(1)->note, QString());
    }

    void anAnswerWithoutItemsEmptiesTheList()
    {
        NotesFeed feed;
        feed.handleXml(::feed(fullItem(1)));
        feed.handleXml(::feed(""));
        QCOMPARE(feed.noteObjects.size(), 0);
    }

    void brokenDocumentKeepsWhatWasRead()
    {
        NotesFeed feed;
        PrintedLines printed;
        feed.handleXml(::feed(fullItem(1) + fullItem(2) + fullItem(3) + "<item><note>x</nope>"));
        QCOMPARE(feed.noteObjects.size(), 3);
        QCOMPARE(printed.lines().size(), 1);
        QVERIFY(printed.lines().first().startsWith(QStringLiteral("failure error: ")));
        QVERIFY(printed.lines().first().size() > QStringLiteral("failure error: ").size());
    }

    void noExternalEntityIsLoaded()
    {
        NotesFeed feed;
        PrintedLines printed;
        feed.handleXml("<?xml version=\"1.0\"?><!DOCTYPE notes [<!ENTITY x SYSTEM "
                       "\"file:///etc/passwd\">]><notes><item><note>&x;</note></item></notes>");
        for (const NoteRef& note : feed.noteObjects)
            QVERIFY(!note->note.contains(QStringLiteral("root:")));
    }

    void creationTime_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ordinary") << "2017-05-04 13:07:55"
                                  << "04.05.2017 13:07";
        QTest::newRow("midnight") << "2020-01-01 00:00:00"
                                  << "01.01.2020 00:00";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("zero date") << "0000-00-00 00:00:00"
                                   << "";
        QTest::newRow("unreadable kept") << "yesterday"
                                         << "yesterday";
        QTest::newRow("no seconds kept") << "2017-05-04 13:07"
                                         << "2017-05-04 13:07";
        QTest::newRow("impossible day kept") << "2017-02-30 10:00:00"
                                             << "2017-02-30 10:00:00";
        QTest::newRow("non-digits kept") << "2017-0x-04 13:07:55"
                                         << "2017-0x-04 13:07:55";
    }

    void creationTime()
    {
        QFETCH(QString, server);
        QFETCH(QString, shown);
        QCOMPARE(NoteDate::displayText(server), shown);
    }

    void timeInADaylightSavingGapIsKept()
    {
        // 02:30 on the last Sunday of March does not exist in Central European time.
        qputenv("TZ", "Europe/Bratislava");
        tzset();
        const QString gap = QStringLiteral("2021-03-28 02:30:00");
        const QString shown = NoteDate::displayText(gap);
        const QString ordinary = NoteDate::displayText(QStringLiteral("2021-03-28 04:30:00"));
        const QString repeated = NoteDate::displayText(QStringLiteral("2021-10-31 02:30:00"));
        const QString otherYear = NoteDate::displayText(QStringLiteral("2019-03-31 02:15:00"));
        qunsetenv("TZ");
        tzset();
        QCOMPARE(shown, gap);
        QCOMPARE(ordinary, QStringLiteral("28.03.2021 04:30"));
        QCOMPARE(repeated, QStringLiteral("31.10.2021 02:30")); // exists twice, so it exists
        QCOMPARE(otherYear, QStringLiteral("2019-03-31 02:15:00"));
    }
};

QTEST_GUILESS_MAIN(NotesParsingTest)
#include "tst_notesparsing.moc"
