// The client and project lists: the list request, how an answer becomes records and pick-list
// titles or leaves them as they were, and how the pick list matches titles.

#include "ClientList.h"
#include "ComboPickList.h"
#include "ListRequest.h"
#include "MemberCenter.h"
#include "ProjectList.h"
#include "SettingsStore.h"
#include "support/FakeTransport.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"

#include <QComboBox>
#include <QTest>

#include <memory>

namespace {
const QString XmlLine = QLatin1String(ListRequest::XmlLine);
// The same title, precomposed and decomposed.
const QString Pre = QStringLiteral("Caf\u00e9"), Dec = QStringLiteral("Cafe\u0301");
const QStringList LoginLines{"https://localhost:1/api/login.php", "login=demo&password=********"};
// How the server answers the list request under test.
constexpr int Xml = 0, Refused = 1, TransportFailure = 2, LostSession = 3, Superseded = 4;

// "id|name" per client, "id|name|category|categoryId" per project, joined by "; ".
QString recordsOf(const XmlItemList* list)
{
    QStringList rows;
    if (const auto* clients = qobject_cast<const ClientList*>(list))
        for (const auto& c : clients->clientObjects())
            rows << c->id + '|' + c->name;
    if (const auto* projects = qobject_cast<const ProjectList*>(list))
        for (const auto& p : projects->projectObjects())
            rows << QStringList{p->id, p->name, p->category, p->categoryId}.join('|');
    return rows.join("; ");
}

const auto document = [](const QByteArray& items) { return "<list>" + items + "</list>"; };
const auto client = [](const QByteArray& id, const QByteArray& name) {
    return "<item><ClientID>" + id + "</ClientID><name>" + name + "</name></item>";
};
} // namespace

class TestLists : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_settings = std::make_unique<TestSettings>();
        m_settings->save(QStringLiteral("localhost:1"), QStringLiteral("demo"), "demo");
        SettingsStore::shared().setObject("s1", QLatin1String(SettingsStore::SessionId));
        m_transport = std::make_unique<FakeTransport>();
        m_session = std::make_unique<MemberCenter>(SettingsStore::shared(), *m_transport);
        m_combo.clear();
    }

    void answerDecidesRecordsAndTitles_data()
    {
        QTest::addColumn<QByteArray>("body"); // or a transport failure's description
        QTest::addColumn<QString>("records");
        QTest::addColumn<QString>("titles");
        QTest::addColumn<QStringList>("lines"); // printed
        QTest::addColumn<int>("answer");
        const auto row = [](const char* name, const QByteArray& body, const QString& records,
                            const QString& titles, const QStringList& lines = {XmlLine},
                            int answer = Xml) {
            QTest::newRow(name) << body << records << titles << lines << answer;
        };
        row("blanks around, entities, diacritics; blank text and CDATA add nothing",
            document(client(" 3\n", "\u00a0\u2003 \u010eur\u010do &amp; s&#121;n \r\n\u0085\t") +
                     "<item><ClientID>4<![CDATA[9]]></ClientID><name> \n\t&#32; </name></item>"),
            "3|\u010eur\u010do & syn; 4|", "Client, \u010eur\u010do & syn, ");
        row("fields: empty per item, at any depth, case-sensitive, joined after the end tag",
            document("<name>S</name><ClientID>9</ClientID><item><clientid>9</clientid><Name>x"
                     "</Name><i><ClientID>7</ClientID></i>8<name>Al</name><name> pha</name>"
                     "</item><Item><name>Beta</name></Item><item><name>Beta</name></item>"),
            "78|Alpha; |Beta", "Client, Alpha, Beta");
        row("no item leaves the placeholder alone", document(""), "", "Client");
        row("equal or canonically equal names, the placeholder's too, show once, later",
            document(client("1", "Al") + client("2", "al") + client("3", Pre.toUtf8()) +
                     client("4", "Al") + "<item><name/></item>" + client("6", "") +
                     client("7", Dec.toUtf8()) + client("8", "Client") + client("9", Pre.toUtf8())),
            "1|Al; 2|al; 3|" + Pre + "; 4|Al; |; 6|; 7|" + Dec + "; 8|Client; 9|" + Pre,
            "al, Al, , Client, " + Pre);
        row("broken document keeps the items before the break",
            document(client("1", "Al") + client("2", "Be") + "<item><name>G</nam>"), "1|Al; 2|Be",
            "Client, Al, Be",
            {XmlLine, "failure error: Opening and ending tag mismatch.",
             "stderr: the list is incomplete: it shows the 2 items read before the error"});
        row("project fields trimmed, joined, cleared per item; valueless CatID clears the id",
            document("<CatID value=\"9\">Stray</CatID>\n <item><ProjectID>\n 12 </ProjectID><name>"
                     "\t Roof\r\n</name><CatID value=\"4\"> Bu </CatID><CatID value=\"5\">il"
                     "</CatID>ding </item><item><ClientID>3</ClientID><Name>y</Name><catid "
                     "value=\"1\">x</catid><name>Wall</name></item><item><CatID value=\"3\">B"
                     "</CatID><CatID/></item>"),
            "12|Roof|Building|5; |Wall||; ||B|", "Project, Roof, Wall, ");
        const QString old = "9|Old", oldTitles = "Client, Old, Left over"; // as they were
        row("refused", R"({"success":0,"error_code":1,"error_message":"Nie"})", old, oldTitles,
            {"Nie"}, Refused);
        row("transport failure", "Refused", old, oldTitles, {"Refused"}, TransportFailure);
        row("lost session", document(client("7", "A")), "7|A", "Client, A",
            LoginLines + QStringList{"logged in", XmlLine}, LostSession);
        row("superseded by a newer request", document(client("7", "A")), "7|A", "Client, A",
            {XmlLine, "Operation canceled"}, Superseded);
    }

    // An XML answer replaces the records and titles before the completion sees them; any other
    // outcome leaves both as they were. A lost session is followed by a new login and a repeat
    // that answers the caller too; a superseded request by a newer one that gets the XML.
    void answerDecidesRecordsAndTitles()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, records);
        QFETCH(QString, titles);
        QFETCH(QStringList, lines);
        QFETCH(int, answer);
        const bool projects = body.contains("<ProjectID>"); // otherwise a client list
        m_list.reset(projects ? static_cast<XmlItemList*>(new ProjectList(*m_session))
                              : new ClientList(*m_session));
        request();
        QVERIFY(m_transport->answerXml(document(client("9", "Old"))));
        m_pickList.addItemWithTitle(QStringLiteral("Left over"));
        const PrintedLines printed;
        const auto calls = request();
        if (answer == LostSession) {
            QVERIFY(m_transport->answerJson(R"({"success":0,"error_code":3,"error_message":"-"})"));
            // The repeat asks for the status the list is set to by then, form characters encoded.
            m_list->setSearchStatusID("1&limit=0 \u017e");
            QVERIFY(m_transport->answerJson(R"({"success":1,"PHPSESSID":"s2"})"));
            QCOMPARE(m_transport->at(-1).body, "PHPSESSID=s2&action=xml_clients&StatusID="
                                               "1%26limit%3D0%20%C5%BE&limit=500");
            QVERIFY(calls->isEmpty());
        }
        const auto newer = answer == Superseded ? request() : nullptr;
        QVERIFY(answer == Refused            ? m_transport->answerJson(body)
                : answer == TransportFailure ? m_transport->failTransport(QString::fromUtf8(body))
                                             : m_transport->answerXml(body));
        QTRY_VERIFY(!calls->isEmpty()); // news of being superseded comes through the event loop
        const bool filled = answer == Xml || answer == LostSession;
        QCOMPARE(*calls, QStringList{(filled ? "filled: " : "kept: ") + titles});
        const QByteArray list = projects ? "project" : "client";
        QCOMPARE(m_transport->at(1).url.fileName() + ' ' + m_transport->at(1).body,
                 list + ".php PHPSESSID=s1&action=xml_" + list + "s&StatusID=1&limit=500");
        QCOMPARE(m_transport->count(), answer == LostSession ? 4 : answer == Superseded ? 3 : 2);
        if (newer)
            QCOMPARE(*newer, QStringList{"filled: " + titles});
        QCOMPARE(recordsOf(m_list.get()), records);
        QCOMPARE(printed.all(), lines);
    }

    // A title that matches nothing is shown as one extra item marked inactive; each miss follows
    // a match to show it.
    void pickListSelectsByTitle()
    {
        for (const QString& item : {QStringLiteral("Alpha"), Pre, QStringLiteral("Gamma")})
            m_pickList.addItemWithTitle(item);
        const auto select = [this](const QString& title) {
            m_pickList.selectItemWithTitle(title);
            return m_pickList.titleOfSelectedItem().value_or("-");
        };
        QCOMPARE(select("Gamma"), "Gamma");
        QCOMPARE(select("alpha"), "alpha (inactive)"); // another case
        QCOMPARE(select(Dec), Pre);
        QCOMPARE(select("Alpha "), "Alpha  (inactive)"); // a trailing space
        QCOMPARE(m_pickList.numberOfItems(), 4);
        m_pickList.selectItemAtIndex(0);
        QCOMPARE(m_pickList.numberOfItems(), 3);
    }

private:
    // Its completion records each result with the titles shown then; shared, should it come late.
    std::shared_ptr<QStringList> request()
    {
        auto calls = std::make_shared<QStringList>();
        m_list->actionGetXMLItems(&m_pickList, [calls, this](bool filled) {
            QStringList titles;
            for (int index = 0; index < m_pickList.numberOfItems(); ++index)
                titles << m_pickList.itemTitleAtIndex(index);
            *calls << (filled ? "filled: " : "kept: ") + titles.join(", ");
        });
        return calls;
    }

    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<FakeTransport> m_transport;
    std::unique_ptr<MemberCenter> m_session;
    std::unique_ptr<XmlItemList> m_list;
    QComboBox m_combo;
    ComboPickList m_pickList{&m_combo};
};

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
