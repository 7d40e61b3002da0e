// The requests to the server, in-process with literal server bytes: the addresses and bodies sent,
// the lines printed, the session kept, what each caller is told, session recovery, cancellation.

#include "CommandRequest.h"
#include "DataEndpoint.h"
#include "ListRequest.h"
#include "MemberCenter.h"
#include "SettingsStore.h"
#include "TrustRule.h"
#include "support/FakeTransport.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

using Outcome = ApiRequest::Outcome;

namespace {
const QString LoginUrl = QStringLiteral("https://notes.example.sk/firma/api/login.php");
const QUrl NotesUrl(QStringLiteral("https://notes.example.sk/firma/api/notes.php"));
const QString Password = QStringLiteral("p&ss+w%rd=1 Žltý\r\n👍");
const QString LoginLine = QStringLiteral("login=jana&password=********");
const QByteArray LoginBody =
    "login=jana&password=p%26ss%2Bw%25rd%3D1%20%C5%BDlt%C3%BD%0D%0A%F0%9F%91%8D";
const QString XmlLine = QStringLiteral("vsetko prebehlo na serveri OK a mame XML data");
const QString Canceled = QStringLiteral("Operation canceled");
const QString Deleted = QStringLiteral("Poznámka bola zmazaná");
const QByteArray Xml = "<notes><item><NoteID>1</NoteID></item></notes>";
const QByteArray Accepted = R"({"success":1,"PHPSESSID":"new"})";
const QByteArray Lost = R"({"success":0,"error_code":#,"error_message":"Relácia vypršala"})";
const QByteArray LoginRefused = R"({"success":0,"PHPSESSID":"","error_message":"Zlé heslo"})";
const QString OldSession = QStringLiteral("1 'old', 1 'old'");
const QString NewSession = QStringLiteral("1 'new', 1 'new'");
const QString NoSession = QStringLiteral("0 '', 0 ''");
const QString NoLogin = QStringLiteral("Enter your login and password in Preferences.");
} // namespace

class RequestsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<FakeTransport> transport;
    std::unique_ptr<MemberCenter> center;
    std::unique_ptr<DataEndpoint> notes;
    QList<Outcome> told; // what the callers of data requests were told, in order

    static ApiAnswer reply(int status, const QByteArray& type, const QByteArray& body)
    {
        return {false, {}, status, !type.isNull(), type, body};
    }
    static ApiAnswer json(const QByteArray& body) { return reply(200, "application/json", body); }
    static ApiAnswer failure(const QString& why) { return {true, why, 0, false, {}, {}}; }
    static ApiAnswer lost(char code) { return json(QByteArray(Lost).replace('#', code)); }

    // Saves the settings and the session, then makes everything that reads them anew.
    void setUp(const QString& host = "notes.example.sk", const QString& login = "jana",
               const QString& password = Password, const QString& path = "/firma")
    {
        settings->save(host, login, password, path);
        SettingsStore& store = SettingsStore::shared();
        store.setBool(true, QLatin1String(SettingsStore::IsLoggedIn));
        store.setObject(QStringLiteral("old"), QLatin1String(SettingsStore::SessionId));
        store.synchronize();
        notes.reset();
        center = std::make_unique<MemberCenter>(store, *transport);
        notes = std::make_unique<DataEndpoint>(*center, QStringLiteral("notes.php"));
    }

    // The center's session, then the file's, read from a copy: stores of one file share a cache.
    QString session() const
    {
        // The store writes on a worker once the current event is done.
        (void)QTest::qWaitFor([] { return !SettingsStore::shared().isWriting(); });
        const QString copy = settings->folder() + QStringLiteral("/copy.conf");
        QFile::remove(copy);
        QFile::copy(settings->filePath(), copy);
        const SettingsStore file(copy);
        return QStringLiteral("%1 '%2', %3 '%4'")
            .arg(int(center->isLoggedIn()))
            .arg(center->PHPSESSID())
            .arg(int(file.boolForKey(QLatin1String(SettingsStore::IsLoggedIn))))
            .arg(file.stringForKey(QLatin1String(SettingsStore::SessionId)));
    }

    // A note deletion or a notes list. Its NoteID is its place among the requests sent, so a
    // repeat shows that its parameters were read when it was composed, after the login.
    void send(bool command)
    {
        const auto source = [this] {
            return DataEndpoint::Parameters{{"NoteID", QString::number(transport->count() + 1)}};
        };
        const auto done = [this](const ApiRequest& request) { told.append(request.outcome()); };
        if (command)
            notes->requestCommand(QStringLiteral("delete_note"), Deleted, source, done);
        else
            notes->requestList(QStringLiteral("xml_notes"), source, done);
    }

    // "login" stands for the login body, any other tag for the session id of the next data body.
    static QList<QByteArray> bodies(const QStringList& tags, bool command)
    {
        QList<QByteArray> all;
        for (const QString& tag : tags)
            all.append(tag == "login" ? LoginBody
                                      : "PHPSESSID=" + tag.toUtf8() +
                                            "&action=" + (command ? "delete_note" : "xml_notes") +
                                            "&NoteID=" + QByteArray::number(all.size() + 1));
        return all;
    }

private slots:
    void init()
    {
        notes.reset(); // the previous test's, before what they use
        center.reset();
        settings = std::make_unique<TestSettings>();
        transport = std::make_unique<FakeTransport>();
        told.clear();
        setUp();
    }

    void checkSettings_data()
    {
        QTest::addColumn<QStringList>("saved"); // host, login, password
        QTest::addColumn<QStringList>("printed");
        const QStringList noServer{"Enter the server name in Preferences."};
        QTest::newRow("blanks count as filled") << QStringList{" ", " ", " "} << QStringList();
        QTest::newRow("host and login empty") << QStringList{"", "", "p"} << noServer;
        QTest::newRow("login empty") << QStringList{"h", "", "p"} << QStringList{NoLogin};
        QTest::newRow("password empty") << QStringList{"h", "l", ""} << QStringList{NoLogin};
    }

    void checkSettings()
    {
        QFETCH(QStringList, saved);
        QFETCH(QStringList, printed);
        setUp(saved.at(0), saved.at(1), saved.at(2));
        PrintedLines output;
        QCOMPARE(center->checkSettings(), printed.isEmpty());
        QCOMPARE(output.lines(), printed);
        QCOMPARE(session(), printed.isEmpty() ? OldSession : NoSession);
    }

    // The login to the address made of the saved host and path, answered when it was sent. The
    // URL line shows them as they stand; nothing is sent when they break the address rules.
    void login_data()
    {
        QTest::addColumn<QStringList>("address"); // host, path, and where the login goes if sent
        QTest::addColumn<ApiAnswer>("answer");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QString>("sessionAfter"); // a new session means the login was accepted
        const auto row = [](const char* name, const ApiAnswer& answer, const QStringList& printed,
                            const QString& after = OldSession,
                            const QStringList& address = {"notes.example.sk", "/firma", LoginUrl}) {
            QTest::newRow(name) << address << answer << printed << after;
        };
        const QString invalid = QStringLiteral("invalid server address, nothing was sent: ");
        row("path in front of the host's name", {},
            {invalid + "the path \"@evil.example\" does not start with \"/\""}, OldSession,
            {"notes.example.sk", "@evil.example"});
        row("blanks around the host are dropped", json(Accepted), {}, NewSession,
            {" n.sk ", "/p", "https://n.sk/p/api/login.php"});
        row("no host", {}, {invalid + "the host is empty"}, OldSession, {"", "/firma"});
        const QString u = QStringLiteral("the login answer cannot be read: ");
        row("accepted", json(Accepted), {}, NewSession);
        row("refused", json(LoginRefused), {"Zlé heslo"}, NoSession);
        row("not json", reply(200, "text/html", "<html/>"), {u + "it is not a JSON object"});
        row("success as text", json(R"({"success":"1","PHPSESSID":"new"})"),
            {u + "\"success\" is missing or not an integer"});
        row("session id as number", json(R"({"success":1,"PHPSESSID":12})"),
            {u + "\"PHPSESSID\" is missing or not a string"});
        row("refusal without message", json(R"({"success":0,"PHPSESSID":""})"),
            {u + "the refusal has no \"error_message\""});
        row("status 500", reply(500, "application/json", Accepted),
            {"stderr: the server answered with HTTP status 500"});
        row("transport failure", failure("Host not found"), {"Host not found"});
    }

    void login()
    {
        QFETCH(QStringList, address);
        QFETCH(ApiAnswer, answer);
        QFETCH(QStringList, printed);
        QFETCH(QString, sessionAfter);
        setUp(address.at(0), "jana", Password, address.at(1));
        PrintedLines output;
        QList<bool> accepted;
        center->actionLogin([&accepted](bool isAccepted) { accepted.append(isAccepted); });
        const bool sent = address.size() > 2;
        QCOMPARE(transport->count(), int(sent));
        if (sent) {
            QCOMPARE(transport->at(0).url, QUrl(address.at(2)));
            QCOMPARE(transport->at(0).body, LoginBody);
            QVERIFY(transport->answer(answer));
        }
        QCOMPARE(output.all(),
                 QStringList(
                     {"https://" + address.at(0) + address.at(1) + "/api/login.php", LoginLine}) +
                     printed);
        QCOMPARE(accepted, QList<bool>{sessionAfter == NewSession});
        QCOMPARE(session(), sessionAfter);
    }

    // The first caller is answered with the result of the login that replaced its own.
    void secondLoginCancelsTheFirst()
    {
        PrintedLines printed;
        QList<bool> first, second;
        center->actionLogin([&first](bool accepted) { first.append(accepted); });
        center->actionLogin([&second](bool accepted) { second.append(accepted); });
        QVERIFY(!transport->isOpen(0));
        QTRY_VERIFY(printed.contains(Canceled));
        QCOMPARE(first, QList<bool>());
        QVERIFY(transport->answerJson(Accepted));
        QCOMPARE(first, QList<bool>{true});
        QCOMPARE(second, QList<bool>{true});
        QCOMPARE(printed.lines(),
                 QStringList({LoginUrl, LoginLine, LoginUrl, LoginLine, Canceled}));
    }

    // A data request answered in turn with each of the answers, every one to the latest request,
    // so the bodies sent are the request, the login and the repeat, as far as the answers go.
    void exchange_data()
    {
        QTest::addColumn<bool>("command");
        QTest::addColumn<QList<ApiAnswer>>("answers");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<Outcome>("outcome");
        using enum ApiRequest::Outcome;
        const QString u = QStringLiteral("the server's answer cannot be read: ");
        const QString neither = u + "it is neither an XML list nor a JSON object";
        const QByteArray refusal =
            "{\"success\":0,\"error_code\":5,\"error_message\":\"Neexistuje\\u001b]0;x\\u0007\"}";
        const ApiAnswer list = reply(200, "text/xml; charset=utf-8", Xml);
        const QStringList relogin{LoginUrl, LoginLine};
        const auto row = [](bool command, const char* name, const QList<ApiAnswer>& answers,
                            const QStringList& printed, Outcome outcome) {
            QTest::addRow("%s: %s", command ? "command" : "list", name)
                << command << answers << printed << outcome;
        };
        for (const bool c : {false, true}) {
            row(c, "error envelope", {json(refusal)}, {u"Neexistuje\ufffd]0;x\ufffd"_qs}, Refused);
            row(c, "status 500", {reply(500, "text/xml", Xml)},
                {"stderr: the server answered with HTTP status 500"}, HttpStatus);
            // Server and transport texts are printed as one safe line.
            row(c, "transport failure", {failure("Reset\r\n\x1b[2J\u009b")},
                {u"Reset\ufffd\ufffd\ufffd[2J\ufffd"_qs}, TransportFailed);
            row(c, c ? "code 3, login, repeat" : "code 2, login, repeat",
                {lost(c ? '3' : '2'), json(Accepted), c ? json(R"({"success":1})") : list},
                relogin + QStringList{"logged in", c ? Deleted : XmlLine}, Succeeded);
        }
        row(false, "a long message is cut", {failure(QString(600, 'x'))},
            {QString(500, 'x') + QChar(0x2026)}, TransportFailed);
        row(false, "TEXT/XML", {reply(200, "TEXT/XML", Xml)}, {neither}, Unreadable);
        row(false, "error code 0 beside success 1",
            {json(R"({"success":1,"error_code":0,"error_message":"nic"})")}, {"nic"}, Refused);
        row(false, "message missing", {json(R"({"success":0,"error_code":1})")},
            {u + "\"error_message\" is missing or not a string"}, Unreadable);
        row(true, "text/xml", {reply(200, "text/xml", R"({"success":1})")}, {Deleted}, Succeeded);
        row(true, "xml list", {list}, {u + "it is not a JSON object"}, Unreadable);
        row(true, "no success", {json(R"({"error_code":5,"error_message":"x"})")},
            {u + "\"success\" is missing or not an integer"}, Unreadable);
        row(true, "fractional code", {json(R"({"success":0,"error_code":1.5,"error_message":""})")},
            {u + "\"error_code\" is missing or not an integer"}, Unreadable);
        // The lost request stays the outcome when no repeat follows or the repeat is lost again.
        row(false, "code 2, incomplete settings", {lost('2')}, {NoLogin}, Refused);
        row(false, "code 3, login refused", {lost('3'), json(LoginRefused)},
            relogin + QStringList{"Zlé heslo"}, Refused);
        row(true, "code 2, repeat lost again", {lost('2'), json(Accepted), lost('2')},
            relogin + QStringList{"logged in", "Relácia vypršala"}, Refused);
    }

    void exchange()
    {
        QFETCH(bool, command);
        QFETCH(QList<ApiAnswer>, answers);
        QFETCH(QStringList, printed);
        QFETCH(Outcome, outcome);
        setUp("notes.example.sk", "jana", printed.contains(NoLogin) ? QString() : Password);
        PrintedLines output;
        send(command);
        for (const ApiAnswer& answer : answers) {
            QCOMPARE(told, QList<Outcome>());
            QVERIFY(transport->answer(answer));
        }
        const QStringList sent = QStringList({"old", "login", "new"}).mid(0, answers.size());
        QCOMPARE(transport->bodies(), bodies(sent, command));
        for (int i = 0; i < transport->count(); ++i)
            QCOMPARE(transport->at(i).url, sent.at(i) == "login" ? QUrl(LoginUrl) : NotesUrl);
        QVERIFY(!transport->isOpen());
        QCOMPARE(output.all(), printed);
        QCOMPARE(told, QList<Outcome>{outcome});
    }

    // A newer request cancels the one in flight and replaces a repeat that waits for its login.
    void newerRequestsCancelAndReplace()
    {
        PrintedLines printed;
        send(false);
        send(false);
        QVERIFY(!transport->isOpen(0));
        QCOMPARE(printed.lines(), QStringList()); // the cancellation follows later
        QTRY_COMPARE(told, QList<Outcome>{Outcome::Cancelled});
        QVERIFY(transport->answer(lost('2')));
        send(false);
        QVERIFY(transport->answerJson(Accepted, 2));
        QVERIFY(transport->answerXml(Xml));
        QCOMPARE(told, QList<Outcome>({Outcome::Cancelled, Outcome::Refused, Outcome::Succeeded}));
        QCOMPARE(transport->bodies(), bodies({"old", "old", "login", "old"}, false));
        QCOMPARE(printed.lines(), QStringList({Canceled, LoginUrl, LoginLine, XmlLine}));
    }

    void trustRule()
    {
        QVERIFY(TrustRule::acceptsUnverified("localhost:8443", QUrl("https://localhost:8443/x")));
        QVERIFY(TrustRule::acceptsUnverified("localhost", QUrl("https://localhost:8443/x")));
        QVERIFY(TrustRule::acceptsUnverified("Notes.Example.SK", QUrl("https://notes.example.sk")));
        QVERIFY(!TrustRule::acceptsUnverified("localhost:8443", QUrl("https://localhost:9443/x")));
        QVERIFY(!TrustRule::acceptsUnverified("example.sk", QUrl("https://evil-example.sk/x")));
        QVERIFY(TrustRule::acceptsUnverified("localhost:443", QUrl("https://localhost/x")));
        QVERIFY(!TrustRule::acceptsUnverified("localhost", QUrl("http://localhost/x")));
        QVERIFY(TrustRule::acceptsUnverified("[::1]:8443", QUrl("https://[::1]:8443/x")));
        QVERIFY(!TrustRule::acceptsUnverified("localhost:abc", QUrl("https://localhost/x")));
    }
};

QTEST_GUILESS_MAIN(RequestsTest)
#include "tst_requests.moc"
