#include "app/Localization.h"
#include "lists/ComboPickList.h"
#include "lists/ProjectList.h"
#include "net/MemberCenter.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"

#include <QComboBox>
#include <QJsonObject>
#include <QTest>

#include <memory>
#include <optional>

namespace {
constexpr int WaitMs = 20000;

// Each row is {id, name, category, categoryId}.
using Rows = QList<QStringList>;

QString placeholder()
{
    return Localization::text(Localization::ProjectPlaceholder);
}

QByteArray projects(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<projects>" + items + "</projects>\n";
}

QByteArray item(const QByteArray& fields)
{
    return "<item>" + fields + "</item>";
}

QByteArray roof(const QByteArray& id = "12", const QByteArray& name = "Roof")
{
    return item("<ProjectID>" + id + "</ProjectID><name>" + name +
                "</name><CatID value=\"4\">Building</CatID>");
}

Rows rowsOf(const ProjectList& list)
{
    Rows rows;
    for (const auto& project : list.projectObjects())
        rows.append({project->id, project->name, project->category, project->categoryId});
    return rows;
}

int failureLines(const PrintedLines& printed)
{
    int count = 0;
    for (const QString& line : printed.lines())
        count += line.startsWith(QLatin1String("failure error: ")) ? 1 : 0;
    return count;
}

// The demo company's active projects in the server's order: by name, in Slovak alphabetical
// order.
Rows activeProjects()
{
    return {
        {"4", QStringLiteral("Fas\u00e1da <nov\u00e1>"), "Budovy", "1"},
        {"3", QStringLiteral("K\u00fape\u013e\u0148a"), QStringLiteral("Rekon\u0161trukcie"), "4"},
        {"2", QStringLiteral("Obchvat \u017diliny"), "Cesty", "2"},
        {"7", "Roof", QStringLiteral("Rekon\u0161trukcie"), "4"},
        {"1", "Strecha", "Budovy", "1"}};
}

QStringList titlesOf(const PickList& pickList)
{
    QStringList titles;
    for (int index = 0; index < pickList.numberOfItems(); ++index)
        titles << pickList.itemTitleAtIndex(index);
    return titles;
}

QStringList titlesFor(const Rows& rows)
{
    QStringList titles{placeholder()};
    for (const QStringList& row : rows)
        titles << row.value(1);
    return titles;
}
} // namespace

class TestProjectList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void xmlAnswerBecomesRecordsAndItems_data();
    void xmlAnswerBecomesRecordsAndItems();
    void serverAnswerFillsRecordsAndItems();
    void refusedAnswerKeepsTheProjects();

private:
    bool startLoggedIn();
    std::optional<bool> requestAndWait();

    std::unique_ptr<TestSettings> m_settings;
    QComboBox m_combo;
    ComboPickList m_pickList{&m_combo};
    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<ProjectList> m_list;
};

void TestProjectList::initTestCase()
{
    QVERIFY(Localization::install(QLocale(QLocale::English)));
}

void TestProjectList::init()
{
    m_settings = std::make_unique<TestSettings>();
    m_combo.clear();
}

void TestProjectList::cleanup()
{
    m_list.reset();
    m_server.reset();
    m_settings.reset();
}

void TestProjectList::xmlAnswerBecomesRecordsAndItems_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<Rows>("records");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("parseFails");

    const QString p = placeholder();
    const QStringList roofRow{"12", "Roof", "Building", "4"};
    QTest::newRow("one project with its category")
        << projects("\n  " + roof() + "\n") << Rows{roofRow} << QStringList{p, "Roof"} << false;
    QTest::newRow("blanks around every field")
        << projects(item("<ProjectID>\n 12 </ProjectID><name>\t Roof\r\n</name>"
                         "<CatID value=\"4\">  Building\n</CatID>"))
        << Rows{roofRow} << QStringList{p, "Roof"} << false;
    QTest::newRow("CatID twice joins the texts and keeps the later value")
        << projects(item("<ProjectID>12</ProjectID><name>Roof</name>"
                         "<CatID value=\"4\">Buil</CatID><CatID value=\"5\">ding</CatID>"))
        << Rows{{"12", "Roof", "Building", "5"}} << QStringList{p, "Roof"} << false;
    QTest::newRow("text after a closing CatID joins the category")
        << projects(item("<ProjectID>12</ProjectID><CatID value=\"4\">Buil</CatID>ding"
                         "<name>Roof</name>"))
        << Rows{roofRow} << QStringList{p, "Roof"} << false;
    QTest::newRow("CatID outside an item is cleared by the item")
        << projects("<CatID value=\"9\">Stray</CatID>" +
                    item("<ProjectID>12</ProjectID><name>Roof</name>"))
        << Rows{{"12", "Roof", "", ""}} << QStringList{p, "Roof"} << false;
    QTest::newRow("CatID without value")
        << projects(item("<ProjectID>12</ProjectID><name>Roof</name><CatID>Building</CatID>"))
        << Rows{{"12", "Roof", "Building", ""}} << QStringList{p, "Roof"} << false;
    QTest::newRow("CatID without value replaces an earlier value")
        << projects(item("<ProjectID>12</ProjectID><name>Roof</name>"
                         "<CatID value=\"4\">Buil</CatID><CatID>ding</CatID>"))
        << Rows{{"12", "Roof", "Building", ""}} << QStringList{p, "Roof"} << false;
    QTest::newRow("fields of one item do not leak into the next")
        << projects(roof() + item("<name>Wall</name>")) << Rows{roofRow, {"", "Wall", "", ""}}
        << QStringList{p, "Roof", "Wall"} << false;
    QTest::newRow("names of other lists are no project fields")
        << projects(item("<ClientID>3</ClientID><ProjectID>12</ProjectID><catid value=\"1\">x"
                         "</catid><Name>y</Name><name>Roof</name>"))
        << Rows{{"12", "Roof", "", ""}} << QStringList{p, "Roof"} << false;
    QTest::newRow("no item leaves the placeholder alone")
        << projects("") << Rows{} << QStringList{p} << false;
    QTest::newRow("duplicate names become one item at the later position")
        << projects(roof("1") + roof("2", "Wall") + roof("3"))
        << Rows{{"1", "Roof", "Building", "4"},
                {"2", "Wall", "Building", "4"},
                {"3", "Roof", "Building", "4"}}
        << QStringList{p, "Wall", "Roof"} << false;
    QTest::newRow("project named like the placeholder displaces it")
        << projects(roof() + roof("13", p.toUtf8())) << Rows{roofRow, {"13", p, "Building", "4"}}
        << QStringList{"Roof", p} << false;
    QTest::newRow("parse error after two items keeps both")
        << projects(roof("1") + roof("2", "Wall") + "<item><ProjectID>3</ProjectID><name>")
        << Rows{{"1", "Roof", "Building", "4"}, {"2", "Wall", "Building", "4"}}
        << QStringList{p, "Roof", "Wall"} << true;
}

void TestProjectList::xmlAnswerBecomesRecordsAndItems()
{
    QFETCH(QByteArray, xml);
    QFETCH(Rows, records);
    QFETCH(QStringList, titles);
    QFETCH(bool, parseFails);

    m_pickList.addItemWithTitle(QStringLiteral("Left over"));
    ProjectList list;
    PrintedLines printed;
    std::optional<bool> result;
    list.takeXmlItems(xml, &m_pickList, [&result](bool filled) { result = filled; });

    QCOMPARE(result, std::optional<bool>(true));
    QCOMPARE(rowsOf(list), records);
    QCOMPARE(titlesOf(m_pickList), titles);
    QCOMPARE(failureLines(printed), parseFails ? 1 : 0);
}

bool TestProjectList::startLoggedIn()
{
    m_server = std::make_unique<TestServer>();
    if (!m_server->start())
        return false;
    m_settings->save(m_server->host(), QStringLiteral("demo"), QStringLiteral("demo"));
    m_list = std::make_unique<ProjectList>();
    auto accepted = std::make_shared<std::optional<bool>>();
    m_list->membercenter()->actionLogin(nullptr, [accepted](bool ok) { *accepted = ok; });
    return QTest::qWaitFor([accepted] { return accepted->has_value(); }, WaitMs) &&
           accepted->value() && m_server->clearRequests();
}

// The completion's result, or none when it was not called in time.
std::optional<bool> TestProjectList::requestAndWait()
{
    auto result = std::make_shared<std::optional<bool>>();
    m_list->actionGetXMLItems(&m_pickList, [result](bool filled) { *result = filled; });
    if (!QTest::qWaitFor([result] { return result->has_value(); }, WaitMs))
        return std::nullopt;
    return *result;
}

void TestProjectList::serverAnswerFillsRecordsAndItems()
{
    QVERIFY(startLoggedIn());
    QCOMPARE(requestAndWait(), std::optional<bool>(true));

    QCOMPARE(m_server->requestBodies("xml_projects"),
             QList<QByteArray>{"PHPSESSID=" + m_list->membercenter()->PHPSESSID.toUtf8() +
                               "&action=xml_projects&StatusID=1&limit=500"});
    QCOMPARE(rowsOf(*m_list), activeProjects());
    QCOMPARE(titlesOf(m_pickList), titlesFor(activeProjects()));
}

void TestProjectList::refusedAnswerKeepsTheProjects()
{
    QVERIFY(startLoggedIn());
    QCOMPARE(requestAndWait(), std::optional<bool>(true));
    QVERIFY(m_server->injectFault(
        {{"match", QJsonObject{{"script", "project.php"}}},
         {"contentType", "application/json"},
         {"body", R"({"success":0,"error_code":4,"error_message":"zamietnute"})"}}));
    PrintedLines printed;
    QCOMPARE(requestAndWait(), std::optional<bool>(false));

    QCOMPARE(printed.lines(), QStringList{"zamietnute"});
    QCOMPARE(rowsOf(*m_list), activeProjects());
    QCOMPARE(titlesOf(m_pickList), titlesFor(activeProjects()));
}

QTEST_MAIN(TestProjectList)
#include "tst_projectlist.moc"
