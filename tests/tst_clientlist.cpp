#include "app/Localization.h"
#include "lists/ClientList.h"
#include "lists/ComboPickList.h"
#include "net/MemberCenter.h"
#include "net/ServerContract.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"

#include <QComboBox>
#include <QJsonObject>
#include <QTest>
#include <QThread>

#include <memory>
#include <optional>

namespace {
constexpr int WaitMs = 20000;
const QString FailurePrefix = QStringLiteral("failure error: ");

// Each row is {id, name}.
using Rows = QList<QStringList>;

QString placeholder()
{
    return Localization::text(Localization::ClientPlaceholder);
}

QByteArray item(const QByteArray& id, const QByteArray& name)
{
    return "<item><ClientID>" + id + "</ClientID><name>" + name + "</name></item>";
}

QByteArray clients(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<clients>" + items + "</clients>\n";
}

Rows rowsOf(const ClientList& list)
{
    Rows rows;
    for (const auto& client : list.clientObjects())
        rows.append({client->id, client->name});
    return rows;
}

QStringList titlesOf(const PickList& pickList)
{
    QStringList titles;
    for (int index = 0; index < pickList.numberOfItems(); ++index)
        titles << pickList.itemTitleAtIndex(index);
    return titles;
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

XmlItemList::Completion recorder(const std::shared_ptr<Calls>& calls, const ClientList* list,
                                 const PickList* pickList)
{
    return [calls, list, pickList](bool filled) {
        calls->results << filled;
        calls->titlesSeen = titlesOf(*pickList);
        calls->rowsSeen = rowsOf(*list);
        calls->allOnMainThread &= QThread::currentThread() == qApp->thread();
    };
}

// The demo company's active clients in the server's order: by name, in Slovak alphabetical order.
Rows activeClients()
{
    return {{"2", "Alpha"},
            {"4", "Beta Reality a.s."},
            {"6", QStringLiteral("\u010cierny Peter")},
            {"3", QStringLiteral("\u010eur\u010do & syn")},
            {"1", QStringLiteral("Stavby \u017dilina s.r.o.")}};
}

QStringList titlesFor(const Rows& rows)
{
    QStringList titles{placeholder()};
    for (const QStringList& row : rows)
        titles << row.value(1);
    return titles;
}
} // namespace

class TestClientList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void xmlAnswerBecomesRecordsAndItems_data();
    void xmlAnswerBecomesRecordsAndItems();

    void answerRefillsBeforeCompletion_data();
    void answerRefillsBeforeCompletion();
    void refusedAnswerKeepsListAndReportsFailure_data();
    void refusedAnswerKeepsListAndReportsFailure();
    void unansweredRequestKeepsListWithoutCompletion_data();
    void unansweredRequestKeepsListWithoutCompletion();
    void lostSessionLogsInAndRepeatsOnce_data();
    void lostSessionLogsInAndRepeatsOnce();
    void newerRequestCancelsTheFirst();

private:
    bool startLoggedIn();
    std::shared_ptr<Calls> request();
    bool fill();
    bool injectListFault(QJsonObject fault);
    QByteArray expectedBody(const QByteArray& encodedStatus) const;

    std::unique_ptr<TestSettings> m_settings;
    QComboBox m_combo;
    ComboPickList m_pickList{&m_combo};
    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<ClientList> m_list;
};

void TestClientList::initTestCase()
{
    QVERIFY(Localization::install(QLocale(QLocale::English)));
}

void TestClientList::init()
{
    m_settings = std::make_unique<TestSettings>();
    m_combo.clear();
}

void TestClientList::cleanup()
{
    m_list.reset();
    m_server.reset();
    m_settings.reset();
}

void TestClientList::xmlAnswerBecomesRecordsAndItems_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<Rows>("records");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("parseFails");

    const QString p = placeholder();
    QTest::newRow("blanks and a line end around the name")
        << clients("\n  " + item(" 7\n", "  Alpha \r\n") + "\n") << Rows{{"7", "Alpha"}}
        << QStringList{p, "Alpha"} << false;
    QTest::newRow("unicode spaces around the name")
        << clients(item("7", QStringLiteral("\u00a0\u2003Alpha\u0085\t").toUtf8()))
        << Rows{{"7", "Alpha"}} << QStringList{p, "Alpha"} << false;
    const QString durco = QStringLiteral("\u010eur\u010do & syn");
    QTest::newRow("entities and diacritics")
        << clients(item("3", durco.toHtmlEscaped().toUtf8())) << Rows{{"3", durco}}
        << QStringList{p, durco} << false;
    QTest::newRow("two name elements are joined")
        << clients("<item><ClientID>7</ClientID><name>Al</name><name> pha</name></item>")
        << Rows{{"7", "Alpha"}} << QStringList{p, "Alpha"} << false;
    QTest::newRow("text after a closing ClientID belongs to the id")
        << clients("<item><ClientID>7</ClientID>8<name>Alpha</name></item>")
        << Rows{{"78", "Alpha"}} << QStringList{p, "Alpha"} << false;
    QTest::newRow("item without ClientID after one with it")
        << clients(item("7", "Alpha") + "<item><name>Beta</name></item>")
        << Rows{{"7", "Alpha"}, {"", "Beta"}} << QStringList{p, "Alpha", "Beta"} << false;
    QTest::newRow("text before the first item is dropped")
        << clients("<name>Stray</name><ClientID>9</ClientID>" + item("7", "Alpha"))
        << Rows{{"7", "Alpha"}} << QStringList{p, "Alpha"} << false;
    QTest::newRow("element names are case-sensitive")
        << clients("<item><clientid>9</clientid><Name>Stray</Name><name>Alpha</name></item>"
                   "<Item><name>Beta</name></Item>")
        << Rows{{"", "Alpha"}} << QStringList{p, "Alpha"} << false;
    QTest::newRow("elements count wherever they stand")
        << clients(
               "<item><data><ClientID>7</ClientID><info><name>Alpha</name></info></data></item>")
        << Rows{{"7", "Alpha"}} << QStringList{p, "Alpha"} << false;
    QTest::newRow("CDATA and comments carry no text")
        << clients("<item><ClientID>7</ClientID><name><![CDATA[Hidden]]>Al<!-- x -->pha</name>"
                   "</item>")
        << Rows{{"7", "Alpha"}} << QStringList{p, "Alpha"} << false;
    QTest::newRow("no item leaves the placeholder alone")
        << clients("") << Rows{} << QStringList{p} << false;
    QTest::newRow("duplicate names become one item at the later position")
        << clients(item("1", "Alpha") + item("2", "Beta") + item("3", "Alpha"))
        << Rows{{"1", "Alpha"}, {"2", "Beta"}, {"3", "Alpha"}} << QStringList{p, "Beta", "Alpha"}
        << false;
    QTest::newRow("client named like the placeholder displaces it")
        << clients(item("1", "Alpha") + item("2", p.toUtf8())) << Rows{{"1", "Alpha"}, {"2", p}}
        << QStringList{"Alpha", p} << false;
    QTest::newRow("parse error after two items keeps both")
        << clients(item("1", "Alpha") + item("2", "Beta") +
                   "<item><ClientID>3</ClientID><name>Gamma</nam></item>")
        << Rows{{"1", "Alpha"}, {"2", "Beta"}} << QStringList{p, "Alpha", "Beta"} << true;
    QTest::newRow("empty body") << QByteArray() << Rows{} << QStringList{p} << true;
}

void TestClientList::xmlAnswerBecomesRecordsAndItems()
{
    QFETCH(QByteArray, xml);
    QFETCH(Rows, records);
    QFETCH(QStringList, titles);
    QFETCH(bool, parseFails);

    ClientList list;
    list.takeXmlItems(clients(item("99", "Earlier")), &m_pickList, {});
    m_pickList.addItemWithTitle(QStringLiteral("Left over"));
    PrintedLines printed;
    auto calls = std::make_shared<Calls>();
    list.takeXmlItems(xml, &m_pickList, recorder(calls, &list, &m_pickList));

    QCOMPARE(calls->results, QList<bool>{true});
    QCOMPARE(calls->titlesSeen, titles);
    QCOMPARE(calls->rowsSeen, records);
    QCOMPARE(rowsOf(list), records);
    QCOMPARE(titlesOf(m_pickList), titles);
    QCOMPARE(printed.lines().filter(FailurePrefix).size(), parseFails ? 1 : 0);
}

bool TestClientList::startLoggedIn()
{
    m_server = std::make_unique<TestServer>();
    if (!m_server->start())
        return false;
    m_settings->save(m_server->host(), QStringLiteral("demo"), QStringLiteral("demo"));
    m_list = std::make_unique<ClientList>();
    auto accepted = std::make_shared<std::optional<bool>>();
    m_list->membercenter()->actionLogin(nullptr, [accepted](bool ok) { *accepted = ok; });
    return QTest::qWaitFor([accepted] { return accepted->has_value(); }, WaitMs) &&
           accepted->value() && m_server->clearRequests();
}

std::shared_ptr<Calls> TestClientList::request()
{
    auto calls = std::make_shared<Calls>();
    m_list->actionGetXMLItems(&m_pickList, recorder(calls, m_list.get(), &m_pickList));
    return calls;
}

// Leaves the list filled from the server, so a later failure has something to keep.
bool TestClientList::fill()
{
    const auto calls = request();
    return QTest::qWaitFor([calls] { return !calls->results.isEmpty(); }, WaitMs) &&
           calls->results == QList<bool>{true} && rowsOf(*m_list) == activeClients() &&
           m_server->clearRequests();
}

bool TestClientList::injectListFault(QJsonObject fault)
{
    fault.insert("match", QJsonObject{{"script", "client.php"}, {"action", "xml_clients"}});
    return m_server->injectFault(fault);
}

QByteArray TestClientList::expectedBody(const QByteArray& encodedStatus) const
{
    return "PHPSESSID=" + m_list->membercenter()->PHPSESSID.toUtf8() +
           "&action=xml_clients&StatusID=" + encodedStatus + "&limit=500";
}

void TestClientList::answerRefillsBeforeCompletion_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<QByteArray>("encodedStatus");
    QTest::addColumn<Rows>("records");

    Rows everyClient = activeClients();
    everyClient.append({"5", QStringLiteral("Zru\u0161en\u00e1 firma s.r.o.")});
    QTest::newRow("active only") << "1" << QByteArray("1") << activeClients();
    QTest::newRow("every status") << "" << QByteArray() << everyClient;
    QTest::newRow("form characters stay inside the value")
        << "1&limit=0" << QByteArray("1%26limit%3D0") << Rows{};
}

void TestClientList::answerRefillsBeforeCompletion()
{
    QFETCH(QString, status);
    QFETCH(QByteArray, encodedStatus);
    QFETCH(Rows, records);
    QVERIFY(startLoggedIn());

    m_list->setSearchStatusID(status);
    PrintedLines printed;
    const auto calls = request();
    QVERIFY(calls->results.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!calls->results.isEmpty(), WaitMs);

    QVERIFY(!m_list->membercenter()->PHPSESSID.isEmpty());
    QCOMPARE(m_server->requestBodies("xml_clients"),
             QList<QByteArray>{expectedBody(encodedStatus)});
    QCOMPARE(calls->results, QList<bool>{true});
    QVERIFY(calls->allOnMainThread);
    QCOMPARE(calls->rowsSeen, records);
    QCOMPARE(calls->titlesSeen, titlesFor(records));
    QCOMPARE(rowsOf(*m_list), records);
    QCOMPARE(titlesOf(m_pickList), titlesFor(records));
    QCOMPARE(printed.lines(), QStringList{DataEndpoint::XmlLine});
}

void TestClientList::refusedAnswerKeepsListAndReportsFailure_data()
{
    QTest::addColumn<QJsonObject>("fault");
    // The server's own message; empty where only the client can word what went wrong.
    QTest::addColumn<QString>("message");

    const auto json = [](const char* body) {
        return QJsonObject{{"contentType", "application/json"}, {"body", body}};
    };
    const QString xml = QString::fromUtf8(clients(item("9", "Evil")));
    QTest::newRow("error code 1") << json(R"({"success":0,"error_code":1,"error_message":"chyba"})")
                                  << "chyba";
    QTest::newRow("no Content-Type, no JSON") << QJsonObject{{"body", "not json"}} << "";
    QTest::newRow("JSON array") << json("[1]") << "";
    QTest::newRow("no error code") << json(R"({"success":0,"error_message":"chyba"})") << "";
    QTest::newRow("error code as text")
        << json(R"({"success":0,"error_code":"1","error_message":"chyba"})") << "";
    QTest::newRow("XML under a type in capitals")
        << QJsonObject{{"contentType", "TEXT/XML; charset=utf-8"}, {"body", xml}} << "";
}

void TestClientList::refusedAnswerKeepsListAndReportsFailure()
{
    QFETCH(QJsonObject, fault);
    QFETCH(QString, message);
    QVERIFY(startLoggedIn());
    QVERIFY(fill());
    QVERIFY(injectListFault(fault));
    PrintedLines printed;
    const auto calls = request();
    QTRY_VERIFY_WITH_TIMEOUT(!calls->results.isEmpty(), WaitMs);

    QCOMPARE(calls->results, QList<bool>{false});
    QCOMPARE(printed.lines().size(), 1);
    if (!message.isEmpty())
        QCOMPARE(printed.lines().constFirst(), message);
    QCOMPARE(rowsOf(*m_list), activeClients());
    QCOMPARE(titlesOf(m_pickList), titlesFor(activeClients()));
}

void TestClientList::unansweredRequestKeepsListWithoutCompletion_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<int>("printedLines");

    const QString xml = QString::fromUtf8(clients(item("9", "Evil")));
    // Every attempt fails, even one the network stack might make again on a new connection.
    QTest::newRow("connection dropped") << QJsonObject{{"drop", true}, {"count", -1}} << 1;
    QTest::newRow("status 500") << QJsonObject{{"status", 500}, {"count", -1}} << 0;
    QTest::newRow("status 500 carrying an XML list")
        << QJsonObject{{"status", 500}, {"contentType", "text/xml"}, {"body", xml}} << 0;
    QTest::newRow("status 404 carrying an error code")
        << QJsonObject{{"status", 404},
                       {"contentType", "application/json"},
                       {"body", R"({"success":0,"error_code":1,"error_message":"chyba"})"}}
        << 0;
}

void TestClientList::unansweredRequestKeepsListWithoutCompletion()
{
    QFETCH(QJsonObject, fault);
    QFETCH(int, printedLines);
    QVERIFY(startLoggedIn());
    QVERIFY(fill());
    QVERIFY(injectListFault(fault));
    PrintedLines printed;
    const auto calls = request();
    QVERIFY(m_list->endpoint().dataTask);
    // The reply is deleted right after its answer was handled.
    QTRY_VERIFY_WITH_TIMEOUT(!m_list->endpoint().dataTask, WaitMs);

    QVERIFY(calls->results.isEmpty());
    QCOMPARE(printed.lines().size(), printedLines);
    QCOMPARE(rowsOf(*m_list), activeClients());
    QCOMPARE(titlesOf(m_pickList), titlesFor(activeClients()));
}

void TestClientList::lostSessionLogsInAndRepeatsOnce_data()
{
    QTest::addColumn<bool>("expired");

    QTest::newRow("expired session") << true;
    QTest::newRow("unknown session") << false;
}

void TestClientList::lostSessionLogsInAndRepeatsOnce()
{
    QFETCH(bool, expired);
    QVERIFY(startLoggedIn());
    const QString oldId = m_list->membercenter()->PHPSESSID;
    const QByteArray oldBody = expectedBody("1");
    QVERIFY(expired ? m_server->expireSessions() : m_server->clearSessions());
    const auto calls = request();
    QTRY_VERIFY_WITH_TIMEOUT(!calls->results.isEmpty(), WaitMs);

    QCOMPARE(calls->results, QList<bool>{true});
    QVERIFY(m_list->membercenter()->PHPSESSID != oldId);
    QCOMPARE(m_server->requestBodies("xml_clients"),
             (QList<QByteArray>{oldBody, expectedBody("1")}));
    QStringList scripts;
    for (const auto& entry : m_server->requests())
        scripts << entry.toObject().value("script").toString();
    QCOMPARE(scripts, (QStringList{"client.php", "login.php", "client.php"}));
    QCOMPARE(calls->rowsSeen, activeClients());
    QCOMPARE(titlesOf(m_pickList), titlesFor(activeClients()));
}

void TestClientList::newerRequestCancelsTheFirst()
{
    QVERIFY(startLoggedIn());
    QVERIFY(injectListFault({{"passThrough", true}, {"delayMs", 15000}}));
    PrintedLines printed;
    const auto first = request();
    QTRY_COMPARE_WITH_TIMEOUT(m_server->requestBodies("xml_clients").size(), 1, WaitMs);
    const auto second = request();
    QTRY_VERIFY_WITH_TIMEOUT(!second->results.isEmpty(), WaitMs);

    QCOMPARE(second->results, QList<bool>{true});
    QVERIFY(first->results.isEmpty());
    QVERIFY(printed.contains("Operation canceled"));
    QCOMPARE(printed.count(DataEndpoint::XmlLine), 1);
    QCOMPARE(titlesOf(m_pickList), titlesFor(activeClients()));
}

QTEST_MAIN(TestClientList)
#include "tst_clientlist.moc"
