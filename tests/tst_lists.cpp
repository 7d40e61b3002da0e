// The client and project lists: how an XML answer becomes records and pick-list titles, and how
// a list request fares against the substitute server.

#include "Localization.h"
#include "ClientList.h"
#include "ComboPickList.h"
#include "ProjectList.h"
#include "ApiTransport.h"
#include "MemberCenter.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"

#include <QComboBox>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <memory>
#include <optional>

namespace {
constexpr int WaitMs = 20000;

// A client row is {id, name}; a project row is {id, name, category, categoryId}.
using Rows = QList<QStringList>;

Rows rowsOf(const XmlItemList& list)
{
    Rows rows;
    if (const auto* clients = qobject_cast<const ClientList*>(&list)) {
        for (const auto& client : clients->clientObjects())
            rows.append({client->id, client->name});
    } else {
        for (const auto& p : qobject_cast<const ProjectList*>(&list)->projectObjects())
            rows.append({p->id, p->name, p->category, p->categoryId});
    }
    return rows;
}

QStringList titlesOf(const PickList& pickList)
{
    QStringList titles;
    for (int index = 0; index < pickList.numberOfItems(); ++index)
        titles << pickList.itemTitleAtIndex(index);
    return titles;
}

QString placeholder(bool projects)
{
    return Localization::text(projects ? Localization::ProjectPlaceholder
                                       : Localization::ClientPlaceholder);
}

// The placeholder, then one title per record.
QStringList titlesFor(bool projects, const Rows& rows)
{
    QStringList titles{placeholder(projects)};
    for (const QStringList& row : rows)
        titles << row.value(1);
    return titles;
}

QByteArray document(bool projects, const QByteArray& items)
{
    const QByteArray root = projects ? "projects>" : "clients>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + items + "</" + root + '\n';
}

QByteArray client(const QByteArray& id, const QByteArray& name)
{
    return "<item><ClientID>" + id + "</ClientID><name>" + name + "</name></item>";
}

QByteArray roof(const QByteArray& id = "12", const QByteArray& name = "Roof")
{
    return "<item><ProjectID>" + id + "</ProjectID><name>" + name +
           "</name><CatID value=\"4\">Building</CatID></item>";
}

// The demo company's active records in the server's order: by name, Slovak alphabetical order.
Rows activeRows(bool projects)
{
    if (projects)
        return {{"4", QStringLiteral("Fasáda <nová>"), "Budovy", "1"},
                {"3", QStringLiteral("Kúpeľňa"), QStringLiteral("Rekonštrukcie"), "4"},
                {"2", QStringLiteral("Obchvat Žiliny"), "Cesty", "2"},
                {"7", "Roof", QStringLiteral("Rekonštrukcie"), "4"},
                {"1", "Strecha", "Budovy", "1"}};
    return {{"2", "Alpha"},
            {"4", "Beta Reality a.s."},
            {"6", QStringLiteral("Čierny Peter")},
            {"3", QStringLiteral("Ďurčo & syn")},
            {"1", QStringLiteral("Stavby Žilina s.r.o.")}};
}

// What the completions of one request saw. Shared, so a completion that comes late never
// writes into a finished test's stack.
struct Calls
{
    QList<bool> results;
    QStringList titlesSeen;
    Rows rowsSeen;
    bool allOnMainThread = true;
};

XmlItemList::Completion recorder(const std::shared_ptr<Calls>& calls, const XmlItemList* list,
                                 const PickList* pickList)
{
    return [calls, list, pickList](bool filled) {
        calls->results << filled;
        calls->titlesSeen = titlesOf(*pickList);
        calls->rowsSeen = rowsOf(*list);
        calls->allOnMainThread &= QThread::currentThread() == qApp->thread();
    };
}
} // namespace

class TestLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(Localization::install(QLocale(QLocale::English)));
        QVERIFY(m_server.start());
    }

    void init()
    {
        m_settings = std::make_unique<TestSettings>();
        m_combo.clear();
        QVERIFY(m_server.clearFaults());
    }

    void cleanup()
    {
        m_list.reset();
        m_settings.reset();
    }

    void xmlAnswerBecomesRecordsAndItems_data()
    {
        QTest::addColumn<bool>("projects");
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<Rows>("records");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("parseFails");
        // Titles default to the placeholder followed by the record names.
        const auto row = [](const char* name, bool projects, const QByteArray& items,
                            const Rows& records, bool parseFails = false, QStringList titles = {}) {
            if (titles.isEmpty())
                titles = titlesFor(projects, records);
            QTest::newRow(name) << projects << document(projects, items) << records << titles
                                << parseFails;
        };
        const QString p = placeholder(false);
        const QString durco = QStringLiteral("Ďurčo & syn");
        const QString blanks = QStringLiteral("\u00a0\u2003 %1 \r\n\u0085\t");
        row("blanks around the fields, entities, diacritics", false,
            "\n  " + client(" 3\n", blanks.arg(durco.toHtmlEscaped()).toUtf8()), {{"3", durco}});
        row("pieces of a field are joined, even after its closing tag", false,
            "<item><ClientID>7</ClientID>8<name>Al</name><name> pha</name></item>",
            {{"78", "Alpha"}});
        row("fields start empty in every item", false,
            "<name>Stray</name><ClientID>9</ClientID>" + client("7", "Alpha") +
                "<item><name>Beta</name></item>",
            {{"7", "Alpha"}, {"", "Beta"}});
        row("element names are case-sensitive", false,
            "<item><clientid>9</clientid><Name>Stray</Name><name>Alpha</name></item>"
            "<Item><name>Beta</name></Item>",
            {{"", "Alpha"}});
        row("elements count wherever they stand", false,
            "<item><data><ClientID>7</ClientID><info><name>Alpha</name></info></data></item>",
            {{"7", "Alpha"}});
        row("no item leaves the placeholder alone", false, {}, {});
        row("duplicate names become one item at the later position", false,
            client("1", "Alpha") + client("2", "Beta") + client("3", "Alpha"),
            {{"1", "Alpha"}, {"2", "Beta"}, {"3", "Alpha"}}, false, {p, "Beta", "Alpha"});
        row("client named like the placeholder displaces it", false,
            client("1", "Alpha") + client("2", p.toUtf8()), {{"1", "Alpha"}, {"2", p}}, false,
            {"Alpha", p});
        row("parse error after two items keeps both", false,
            client("1", "Alpha") + client("2", "Beta") +
                "<item><ClientID>3</ClientID><name>Gamma</nam></item>",
            {{"1", "Alpha"}, {"2", "Beta"}}, true);
        QTest::newRow("empty body") << false << QByteArray() << Rows{} << QStringList{p} << true;

        const QStringList roofRow{"12", "Roof", "Building", "4"};
        const QByteArray roofStart = "<item><ProjectID>12</ProjectID><name>Roof</name>";
        row("project fields with blanks around them", true,
            "\n <item><ProjectID>\n 12 </ProjectID><name>\t Roof\r\n</name>"
            "<CatID value=\"4\">  Building\n</CatID></item>\n",
            {roofRow});
        row("CatID twice joins the texts and keeps the later value", true,
            roofStart + "<CatID value=\"4\">Buil</CatID><CatID value=\"5\">ding</CatID></item>",
            {{"12", "Roof", "Building", "5"}});
        row("CatID without value replaces an earlier value", true,
            roofStart + "<CatID value=\"4\">Buil</CatID><CatID>ding</CatID></item>",
            {{"12", "Roof", "Building", ""}});
        row("text after a closing CatID joins the category", true,
            "<item><ProjectID>12</ProjectID><CatID value=\"4\">Buil</CatID>ding"
            "<name>Roof</name></item>",
            {roofRow});
        row("CatID outside an item is cleared by the item", true,
            "<CatID value=\"9\">Stray</CatID>" + roofStart + "</item>", {{"12", "Roof", "", ""}});
        row("fields of one project do not leak into the next", true,
            roof() + "<item><name>Wall</name></item>", {roofRow, {"", "Wall", "", ""}});
        row("names of other lists are no project fields", true,
            "<item><ClientID>3</ClientID><ProjectID>12</ProjectID><catid value=\"1\">x</catid>"
            "<Name>y</Name><name>Roof</name></item>",
            {{"12", "Roof", "", ""}});
    }

    // Earlier records and pick-list items are replaced, and the completion already sees the
    // new ones.
    void xmlAnswerBecomesRecordsAndItems()
    {
        QFETCH(bool, projects);
        QFETCH(QByteArray, xml);
        QFETCH(Rows, records);
        QFETCH(QStringList, titles);
        QFETCH(bool, parseFails);
        makeList(projects);
        m_list->takeXmlItems(
            document(projects, projects ? roof("99", "Earlier") : client("99", "Earlier")),
            &m_pickList, {});
        m_pickList.addItemWithTitle(QStringLiteral("Left over"));
        const PrintedLines printed;
        const auto calls = std::make_shared<Calls>();
        m_list->takeXmlItems(xml, &m_pickList, recorder(calls, m_list.get(), &m_pickList));

        QCOMPARE(calls->results, QList<bool>{true});
        QCOMPARE(calls->titlesSeen, titles);
        QCOMPARE(calls->rowsSeen, records);
        QCOMPARE(rowsOf(*m_list), records);
        QCOMPARE(titlesOf(m_pickList), titles);
        QCOMPARE(printed.lines().filter(QStringLiteral("failure error: ")).size(),
                 parseFails ? 1 : 0);
    }

    void serverAnswerFillsTheList_data()
    {
        QTest::addColumn<bool>("projects");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QByteArray>("encodedStatus");
        QTest::addColumn<Rows>("records");
        Rows everyClient = activeRows(false);
        everyClient.append({"5", QStringLiteral("Zrušená firma s.r.o.")});
        QTest::newRow("clients, active only")
            << false << "1" << QByteArray("1") << activeRows(false);
        QTest::newRow("clients, every status") << false << "" << QByteArray() << everyClient;
        QTest::newRow("clients, form characters stay inside the value")
            << false << "1&limit=0" << QByteArray("1%26limit%3D0") << Rows{};
        QTest::newRow("projects, active only")
            << true << "1" << QByteArray("1") << activeRows(true);
    }

    void serverAnswerFillsTheList()
    {
        QFETCH(bool, projects);
        QFETCH(QString, status);
        QFETCH(QByteArray, encodedStatus);
        QFETCH(Rows, records);
        QVERIFY(startLoggedIn(projects));
        m_list->setSearchStatusID(status);
        const PrintedLines printed;
        const auto calls = request();
        QVERIFY(calls->results.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!calls->results.isEmpty(), WaitMs);

        QCOMPARE(m_server.requestBodies(), QList<QByteArray>{expectedBody(encodedStatus)});
        QCOMPARE(calls->results, QList<bool>{true});
        QVERIFY(calls->allOnMainThread);
        QCOMPARE(rowsOf(*m_list), records);
        QCOMPARE(titlesOf(m_pickList), titlesFor(projects, records));
        QCOMPARE(printed.lines(), QStringList{DataEndpoint::XmlLine});
    }

    void failedAnswerKeepsTheList_data()
    {
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<bool>("completed"); // completion(false) called, or no completion at all
        QTest::addColumn<int>("printedLines");
        QTest::addColumn<QString>("message"); // the server's own message, where it has one
        const auto row = [](const char* name, const QJsonObject& fault, bool completed, int lines,
                            const char* message = "") {
            QTest::newRow(name) << fault << completed << lines << QString::fromUtf8(message);
        };
        const auto json = [](int status, const char* body) {
            return QJsonObject{
                {"status", status}, {"contentType", "application/json"}, {"body", body}};
        };
        const QString xml = QString::fromUtf8(document(false, client("9", "Evil")));
        const char* refusal = R"({"success":0,"error_code":1,"error_message":"chyba"})";
        row("error code 1", json(200, refusal), true, 1, "chyba");
        row("neither XML nor JSON", {{"body", "not json"}}, true, 1);
        row("no error code", json(200, R"({"success":0,"error_message":"chyba"})"), true, 1);
        row("XML under a type in capitals", {{"contentType", "TEXT/XML"}, {"body", xml}}, true, 1);
        // Every attempt fails, even one the network stack makes again on a new connection.
        row("connection dropped", {{"drop", true}, {"count", -1}}, false, 1);
        row("status 500 carrying an XML list",
            {{"status", 500}, {"contentType", "text/xml"}, {"body", xml}}, false, 0);
        row("status 404 carrying an error code", json(404, refusal), false, 0);
    }

    void failedAnswerKeepsTheList()
    {
        QFETCH(QJsonObject, fault);
        QFETCH(bool, completed);
        QFETCH(int, printedLines);
        QFETCH(QString, message);
        QVERIFY(startLoggedIn(false));
        const auto filled = request();
        QTRY_COMPARE_WITH_TIMEOUT(filled->results, QList<bool>{true}, WaitMs);
        // Where localhost resolves to ::1 first, Qt 6.4 does not report a connection the server
        // closes and waits for the time-out instead; either way the request fails.
        ApiTransport::setTransferTimeout(5000);
        const auto restoreTimeout =
            qScopeGuard([] { ApiTransport::setTransferTimeout(ApiTransport::DefaultTimeoutMs); });
        fault.insert("match", QJsonObject{{"script", "client.php"}, {"action", "xml_clients"}});
        QVERIFY(m_server.injectFault(fault));
        const PrintedLines printed;
        const auto calls = request();
        QVERIFY(m_list->endpoint().dataTask);
        // The reply is deleted right after its answer was handled.
        QTRY_VERIFY_WITH_TIMEOUT(!m_list->endpoint().dataTask, WaitMs);
        QVERIFY(m_server.clearFaults());

        QCOMPARE(calls->results, completed ? QList<bool>{false} : QList<bool>{});
        QCOMPARE(printed.lines().size(), printedLines);
        if (!message.isEmpty())
            QCOMPARE(printed.lines().constFirst(), message);
        QCOMPARE(rowsOf(*m_list), activeRows(false));
        QCOMPARE(titlesOf(m_pickList), titlesFor(false, activeRows(false)));
    }

    void lostSessionLogsInAndRepeatsOnce_data()
    {
        QTest::addColumn<bool>("expired");
        QTest::newRow("expired session (error 3)") << true;
        QTest::newRow("unknown session (error 2)") << false;
    }

    void lostSessionLogsInAndRepeatsOnce()
    {
        QFETCH(bool, expired);
        QVERIFY(startLoggedIn(false));
        const QString oldId = m_list->membercenter()->PHPSESSID;
        const QByteArray oldBody = expectedBody("1");
        QVERIFY(expired ? m_server.expireSessions() : m_server.clearSessions());
        const auto calls = request();
        QTRY_VERIFY_WITH_TIMEOUT(!calls->results.isEmpty(), WaitMs);

        QCOMPARE(calls->results, QList<bool>{true});
        QVERIFY(m_list->membercenter()->PHPSESSID != oldId);
        QCOMPARE(m_server.requestBodies("xml_clients"),
                 (QList<QByteArray>{oldBody, expectedBody("1")}));
        QCOMPARE(m_server.requestBodies().size(), 3); // the two above and one login
        QCOMPARE(rowsOf(*m_list), activeRows(false));
    }

    void newerRequestCancelsTheFirst()
    {
        QVERIFY(startLoggedIn(false));
        QVERIFY(m_server.delayAnswer({{"action", "xml_clients"}}, 15000));
        const PrintedLines printed;
        const auto first = request();
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestBodies().size(), 1, WaitMs);
        const auto second = request();
        QTRY_VERIFY_WITH_TIMEOUT(!second->results.isEmpty(), WaitMs);

        QCOMPARE(second->results, QList<bool>{true});
        QVERIFY(first->results.isEmpty());
        QVERIFY(printed.contains("Operation canceled"));
        QCOMPARE(printed.count(DataEndpoint::XmlLine), 1);
        QCOMPARE(titlesOf(m_pickList), titlesFor(false, activeRows(false)));
    }

private:
    void makeList(bool projects)
    {
        m_projects = projects;
        if (projects)
            m_list = std::make_unique<ProjectList>();
        else
            m_list = std::make_unique<ClientList>();
    }

    // A list whose member center logged in to the server; the record of requests is empty.
    bool startLoggedIn(bool projects)
    {
        m_settings->save(m_server.host(), QStringLiteral("demo"), QStringLiteral("demo"));
        makeList(projects);
        auto accepted = std::make_shared<std::optional<bool>>();
        m_list->membercenter()->actionLogin(nullptr, [accepted](bool ok) { *accepted = ok; });
        return QTest::qWaitFor([accepted] { return accepted->has_value(); }, WaitMs) &&
               accepted->value() && m_server.clearRequests();
    }

    std::shared_ptr<Calls> request()
    {
        auto calls = std::make_shared<Calls>();
        m_list->actionGetXMLItems(&m_pickList, recorder(calls, m_list.get(), &m_pickList));
        return calls;
    }

    QByteArray expectedBody(const QByteArray& encodedStatus) const
    {
        return "PHPSESSID=" + m_list->membercenter()->PHPSESSID.toUtf8() +
               (m_projects ? "&action=xml_projects" : "&action=xml_clients") +
               "&StatusID=" + encodedStatus + "&limit=500";
    }

    TestServer m_server;
    std::unique_ptr<TestSettings> m_settings;
    QComboBox m_combo;
    ComboPickList m_pickList{&m_combo};
    std::unique_ptr<XmlItemList> m_list;
    bool m_projects = false;
};

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
