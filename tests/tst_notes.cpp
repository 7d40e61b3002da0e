// The notes: reading the feed into records, how creation times are shown, the feed and note
// commands on the wire and what their answers do, and the hand-off of a note to the mail program.

#include "DesktopMailComposer.h"
#include "ListRequest.h"
#include "Mail.h"
#include "MemberCenter.h"
#include "NoteDate.h"
#include "NotesFeed.h"
#include "NotesFeedReader.h"
#include "Notices.h"
#include "SettingsStore.h"
#include "support/FakeTransport.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <ctime>
#include <memory>

namespace {
const QString XmlLine = QLatin1String(ListRequest::XmlLine);
const QString Slovak =
    QStringLiteral("\u010cu\u010doriedky \u0165a\u017ek\u00e9 \u013e\u00fabi\u0165");
const QByteArray SlovakEncoded =
    "%C4%8Cu%C4%8Doriedky%20%C5%A5a%C5%BEk%C3%A9%20%C4%BE%C3%BAbi%C5%A5";
const QString TooLong = "The note is too long for a mail link: the whole text is on the clipboard.";
const QString NoProgram = "No mail program could be opened for the note.";
// The note selected in the table, or a draft to add.
const QByteArray Selected = "<item><NoteID>7</NoteID><note>a+b&amp;c=d%&#13;\n\u017d\U0001F600\n"
                            "riadok 2</note><ProjectID value=\"12\">Roof</ProjectID><ClientID "
                            "value=\"3\">Alpha</ClientID></item>";

// The fields of a note that are set, "name=value" joined by "; ".
QString fieldsOf(const Note& n)
{
    const QStringList names = QString("id note created realEstate realEstateId project projectId "
                                      "task taskId group groupId client clientId order orderId")
                                  .split(' ');
    const QStringList values{n.id,      n.note,      n.dateTimeCreate, n.realEstate, n.realEstateId,
                             n.project, n.projectId, n.task,           n.taskId,     n.group,
                             n.groupId, n.client,    n.clientId,       n.order,      n.orderId};
    QStringList set;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (!values.at(i).isEmpty())
            set << names.at(i) + '=' + values.at(i);
    return set.join("; ");
}

const auto feed = [](const QByteArray& items) { return "<notes>" + items + "</notes>"; };
const auto item = [](const QByteArray& id) { return "<item><NoteID>" + id + "</NoteID></item>"; };
} // namespace

class TestNotes : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_settings = std::make_unique<TestSettings>();
        m_settings->save(QStringLiteral("localhost:1"), QStringLiteral("demo"), "demo");
        qRegisterMetaType<NotesFeed::CommandResult>();
        SettingsStore::shared().setObject("s1", QLatin1String(SettingsStore::SessionId));
        m_transport = std::make_unique<FakeTransport>();
        m_session = std::make_unique<MemberCenter>(SettingsStore::shared(), *m_transport);
        m_feed = std::make_unique<NotesFeed>(*m_session);
        qputenv("TZ", "Europe/Bratislava");
        tzset();
    }

    void feedAnswer_data()
    {
        QTest::addColumn<QByteArray>("items");
        QTest::addColumn<QStringList>("notes"); // the fields of each
        QTest::addColumn<QStringList>("lines"); // printed
        const auto row = [](const char* name, const QByteArray& items, const QStringList& notes,
                            const QStringList& lines = {XmlLine}) {
            QTest::newRow(name) << items << notes << lines;
        };
        row("every field; of id elements the last value wins, the texts join, no value gives none",
            "<item><NoteID>1</NoteID><note>text</note><datetime_create>2017-05-04 13:07:55"
            "</datetime_create><RealEstateID value=\"3\">Dom</RealEstateID>"
            "<ProjectID value=\"1\">Ro</ProjectID><ProjectID value=\"12\">of</ProjectID>"
            "<TaskID value=\"4\">Ca</TaskID><TaskID>ll</TaskID><GroupID value=\"5\">Team</GroupID>"
            "<ClientID value=\"7\">Alpha</ClientID><OrderID value=\"8\">O-1</OrderID></item>",
            {"id=1; note=text; created=04.05.2017 13:07; realEstate=Dom; realEstateId=3; "
             "project=Roof; projectId=12; task=Call; group=Team; groupId=5; "
             "client=Alpha; clientId=7; order=O-1; orderId=8"});
        row("a note is exactly its character data: entities, an escaped carriage return, blanks, "
            "separators, no-break spaces and CDATA kept; text after its end tag is not",
            "<item><note>\xE2\x80\xA8\xC2\xA0\n   a &amp; b &lt;c&gt; &quot;+&apos; % = "
            "&#233;&#13;\nz \t\r\n\xC2\x85\xE2\x80\xA9</note></item><item><note> one <!-- c "
            "--> two<![CDATA[x]]> </note><note> ]]&gt; </note> four </item>",
            {"note=\u2028\u00a0\n   a & b <c> \"+' % = \u00e9\r\nz \t\n\u0085\u2029",
             "note= one  twox  ]]> "});
        row("document order; empty and unknown elements",
            item("3") + "<item/><item><NoteID>1</NoteID><unknown>x</unknown>y<note><![CDATA[z]]>"
                        "</note></item>",
            {"id=3", "", "id=1; note=z"});
        row("an answer without items empties the list", {}, {});
        const auto created = [&row](const char* name, const QByteArray& server, const char* shown) {
            row(name, "<item><datetime_create>" + server + "</datetime_create></item>",
                {*shown ? QString("created=") + shown : ""});
        };
        created("zero creation date", "0000-00-00 00:00:00", "");
        created("impossible creation day kept", "2017-02-30 10:00:00", "2017-02-30 10:00:00");
        // Central European clocks skip from 02:00 to 03:00 on the last Sunday of March.
        created("gap start kept", "2021-03-28 02:00:00", "2021-03-28 02:00:00");
        created("in another year's gap kept", "2019-03-31 02:15:00", "2019-03-31 02:15:00");
        created("gap end", "2021-03-28 03:00:00", "28.03.2021 03:00");
        created("repeated hour exists", "2021-10-31 02:30:00", "31.10.2021 02:30");
        row("a broken document keeps the items before the break",
            item("1") + item("2") + "<item><note>x</nope>", {"id=1", "id=2"},
            {XmlLine, "failure error: Opening and ending tag mismatch.",
             "stderr: the list is incomplete: it shows the 2 items read before the error"});
    }

    // The answer replaces the notes read before, and the views are told.
    void feedAnswer()
    {
        QFETCH(QByteArray, items);
        QFETCH(QStringList, notes);
        QFETCH(QStringList, lines);
        m_feed->actionGetXMLItems();
        QVERIFY(m_transport->answerXml(feed(item("99"))));
        WAIT_FOR(m_feed->isIdle());
        QSignalSpy reloads(m_feed.get(), &NotesFeed::notesReloaded);
        const PrintedLines printed;
        m_feed->actionGetXMLItems();
        QCOMPARE(m_transport->at(1).url.toString(), "https://localhost:1/api/notes.php");
        QCOMPARE(m_transport->at(1).body, "PHPSESSID=s1&action=xml_notes&noteKeyword=&"
                                          "clientKeyword=&projectKeyword=&limit=100");
        QVERIFY(m_transport->answerXml(feed(items)));
        WAIT_FOR(m_feed->isIdle());
        QStringList records;
        for (const Note& note : m_feed->noteObjects())
            records << fieldsOf(note);
        QCOMPARE(records, notes);
        QCOMPARE(reloads, QList<QVariantList>{{QVariant::fromValue(m_feed->noteObjects())}});
        QCOMPARE(printed.all(), lines);
    }

    void command_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("sent"); // after "PHPSESSID=s1&action="
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("lines"); // "logged in": the session was lost first
        const auto row = [](const char* name, const char* command, const QByteArray& sent,
                            const QStringList& lines,
                            const QByteArray& answer = R"({"success":1})") {
            QTest::newRow(name) << command << sent << answer << lines;
        };
        const QByteArray text = "a%2Bb%26c%3Dd%25%0D%0A%C5%BD%F0%9F%98%80%0Ariadok%202";
        row("save", "save", "edit_note&NoteID=7&note=" + text + "&ProjectID=12&ClientID=3",
            {NotesFeed::SavedLine});
        row("add", "add", "add_note&note=" + text + "&ProjectID=12&ClientID=3",
            {NotesFeed::AddedLine});
        row("save refused", "save", "edit_note&NoteID=7&note=" + text + "&ProjectID=12&ClientID=3",
            {"Pozn\u00e1mka nie je"},
            R"({"success":0,"error_code":5,"error_message":"Pozn\u00e1mka nie je"})");
        row("save whose answer was lost", "save",
            "edit_note&NoteID=7&note=" + text + "&ProjectID=12&ClientID=3",
            {"Connection closed", "stderr: " + QString(NotesFeed::UnknownOutcomeLine)}, "closed");
        row("delete after a new login", "delete", "delete_note&NoteID=7",
            {"https://localhost:1/api/login.php", "login=demo&password=********", "logged in",
             NotesFeed::DeletedLine});
    }

    // A success prints its line and reloads the notes with the keywords held when it arrives; a
    // refusal prints the server's message; a lost answer reloads and says so.
    void command()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        QFETCH(QStringList, lines);
        const bool lost = lines.contains("logged in");
        const Note record = NotesFeedReader::read(feed(Selected)).notes.value(0);
        m_feed->setKeywords("a", "b", "c");
        const PrintedLines printed;
        QSignalSpy ended(m_feed.get(), &NotesFeed::commandEnded);
        command == "save"  ? m_feed->actionSaveXMLItem(record)
        : command == "add" ? m_feed->actionAddXMLItem(record)
                           : m_feed->actionDeleteXMLItem(record);
        QCOMPARE(m_transport->at(0).body, "PHPSESSID=s1&action=" + sent);
        m_feed->setKeywords(" a+b&c=d% ", Slovak, "\U0001F600\nx");
        if (lost) {
            QVERIFY(m_transport->answerJson(R"({"success":0,"error_code":2,"error_message":"-"})"));
            QVERIFY(m_transport->answerJson(R"({"success":1,"PHPSESSID":"s2"})"));
            QCOMPARE(m_transport->at(2).body, "PHPSESSID=s2&action=" + sent);
        }
        const bool closed = answer == "closed";
        QVERIFY(closed ? m_transport->answer({true, "Connection closed", 0, {}, {}, {}, true})
                       : m_transport->answerJson(answer));
        QCOMPARE(printed.all(), lines);
        QCOMPARE(ended.size(), 1);
        const auto result = ended.first().first().value<NotesFeed::CommandResult>();
        QCOMPARE(result.outcomeUnknown, closed);
        const bool done = closed || answer.contains(R"("success":1)");
        QCOMPARE(result.succeeded(), done && !closed);
        QCOMPARE(m_transport->count(), (lost ? 3 : 1) + (done ? 1 : 0));
        if (done)
            QCOMPARE(m_transport->at(-1).body,
                     "PHPSESSID=" + QByteArray(lost ? "s2" : "s1") +
                         "&action=xml_notes&noteKeyword=%20a%2Bb%26c%3Dd%25%20&clientKeyword=" +
                         SlovakEncoded + "&projectKeyword=%F0%9F%98%80%0Ax&limit=100");
    }

    // Commands wait for each other in the order given; a search runs beside them and cancels
    // none. The server names a new note in its answer, as text or as a number.
    void commandsQueueBesideSearches()
    {
        const PrintedLines printed;
        Note first, second;
        first.id = "1";
        second.note = "new";
        QSignalSpy ended(m_feed.get(), &NotesFeed::commandEnded);
        m_feed->actionDeleteXMLItem(first);
        m_feed->actionAddXMLItem(second);
        m_feed->actionGetXMLItems();
        QCOMPARE(m_transport->bodies(),
                 (QList<QByteArray>{"PHPSESSID=s1&action=delete_note&NoteID=1",
                                    "PHPSESSID=s1&action=xml_notes&noteKeyword=&clientKeyword=&"
                                    "projectKeyword=&limit=100"}));
        QVERIFY(m_transport->answerXml(feed(item("1")), 1));
        WAIT_FOR(!m_feed->noteObjects().isEmpty());
        QVERIFY(m_transport->answerJson(R"({"success":1})", 0));
        QVERIFY(m_transport->at(3).body.contains("action=add_note&note=new"));
        QVERIFY(m_transport->answerJson(R"({"success":1,"NoteID":42})", 3));
        QCOMPARE(printed.lines(), (QStringList{XmlLine, NotesFeed::DeletedLine,
                                               NotesFeed::AddedLine}));
        QCOMPARE(ended.size(), 2);
        QCOMPARE(ended.at(1).first().value<NotesFeed::CommandResult>().newNoteId, "42");
        QCOMPARE(m_transport->count(), 5); // a reload after each command
    }

    void mailLink_data()
    {
        QTest::addColumn<QStringList>("fields"); // recipient, subject, body
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<QStringList>("lines"); // said in the window
        const auto row = [](const char* name, const QString& to, const QString& subject,
                            const QString& body, const QByteArray& url,
                            const QStringList& lines = {}) {
            QTest::newRow(name) << QStringList{to, subject, body} << url << lines;
        };
        row("empty recipient, subject and body; no mail program", "", "", "",
            "mailto:?subject=&body=", {NoProgram});
        row("line breaks become CRLF", "", "Lines", "one\ntwo\r\nthree\rfour\n\n",
            "mailto:?subject=Lines&body=one%0D%0Atwo%0D%0Athree%0D%0Afour%0D%0A%0D%0A");
        row("delimiters and Slovak letters encoded, unreserved characters raw",
            "a+b&c=d?e#f Az09-._~", "50% ;x," + Slovak, Slovak + "%41+",
            "mailto:a%2Bb%26c%3Dd%3Fe%23f%20Az09-._~?subject=50%25%20%3Bx%2C" + SlovakEncoded +
                "&body=" + SlovakEncoded + "%2541%2B");
        const QByteArray head = "mailto:a%40b.sk?subject=S&body=";
        const QByteArray fits(2000 - head.size(), 'x');
        row("exactly 2,000 characters", "a@b.sk", "S", fits, head + fits);
        row("one character over 2,000", "a@b.sk", "S", fits + 'y', head + fits, {TooLong});
        // The link takes the whole characters that fit; the room left would split the next one.
        row("cut before a CRLF", "a@b.sk", "S", QString("abc\r\n").repeated(1000),
            head + QByteArray("abc%0D%0A").repeated(218) + "abc", {TooLong});
        row("cut before a letter with a combining accent", "a@b.sk", "S",
            QString("e\u0301").repeated(2500), head + QByteArray("e%CC%81").repeated(281),
            {TooLong});
    }

    // Through the default composer, as the main window sends it; the mail program is replaced.
    void mailLink()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, url);
        QFETCH(QStringList, lines);
        QGuiApplication::clipboard()->setText("before");
        DesktopMailComposer composer;
        QList<QByteArray> opened;
        composer.setUrlOpener([&opened, &lines](const QUrl& link) {
            opened << link.toEncoded();
            return !lines.contains(NoProgram);
        });
        const PrintedLines printed;
        QSignalSpy said(&Notices::instance(), &Notices::posted);
        Mail::setDefaultComposer(&composer);
        Mail mail;
        mail.emailTo = fields.at(0);
        mail.subject = fields.at(1);
        mail.message = fields.at(2);
        mail.send();
        Mail::setDefaultComposer(nullptr);
        QCOMPARE(opened, QList<QByteArray>{url});
        QVERIFY(printed.all().isEmpty());
        QStringList notices;
        for (const QList<QVariant>& notice : said)
            notices << notice.first().toString();
        QCOMPARE(notices, lines);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 lines.contains(TooLong) ? fields.at(2) : "before");
    }

private:
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<FakeTransport> m_transport;
    std::unique_ptr<MemberCenter> m_session;
    std::unique_ptr<NotesFeed> m_feed;
};

QTEST_MAIN(TestNotes)
#include "tst_notes.moc"
