// The requests to the server, in-process: the addresses and bodies that go out, the lines printed
// for every kind of answer, the session kept in the settings, what each caller is told, session
// recovery and cancellation. FakeTransport answers with literal server bytes.

#include "CommandRequest.h"
#include "DataEndpoint.h"
#include "ListRequest.h"
#include "MemberCenter.h"
#include "SettingsStore.h"
#include "TrustRule.h"
#include "support/FakeTransport.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"

#include <QTest>
#include <QUrlQuery>

#include <memory>

using Outcome = ApiRequest::Outcome;
using Answers = QList<ApiAnswer>;
Q_DECLARE_METATYPE(ApiAnswer)
Q_DECLARE_METATYPE(ApiRequest::Outcome)

namespace {
const QString LoginUrl = QStringLiteral("https://notes.example.sk/firma/api/login.php");
const QUrl NotesUrl(QStringLiteral("https://notes.example.sk/firma/api/notes.php"));
const QString Password = QStringLiteral("p&ss+w%rd=1");
const QString LoginLine = QStringLiteral("login=jana&password=********");
const QByteArray LoginBody = "login=jana&password=p%26ss%2Bw%25rd%3D1";
const QString XmlLine = QStringLiteral("vsetko prebehlo na serveri OK a mame XML data");
const QString LoggedIn = QStringLiteral("logged in");
const QString Canceled = QStringLiteral("Operation canceled");
const QString Deleted = QStringLiteral("Poznámka bola zmazaná");
const QByteArray Xml = "<notes><item><NoteID>1</NoteID></item></notes>";
const QByteArray Accepted = R"({"success":1,"PHPSESSID":"new"})";
const QByteArray LoginRefused = R"({"success":0,"PHPSESSID":"","error_message":"Zlé heslo"})";
const QString OldSession = QStringLiteral("1 'old', 1 'old'");
const QString NewSession = QStringLiteral("1 'new', 1 'new'");
const QString NoSession = QStringLiteral("0 '', 0 ''");
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
    static ApiAnswer lost(int code)
    {
        return json(R"({"success":0,"error_code":)" + QByteArray::number(code) +
                    R"(,"error_message":"Relácia vypršala"})");
    }

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
        const QByteArray action = command ? "delete_note" : "xml_notes";
        QList<QByteArray> all;
        for (const QString& tag : tags)
            all.append(tag == "login" ? LoginBody
                                      : "PHPSESSID=" + tag.toUtf8() + "&action=" + action +
                                            "&NoteID=" + QByteArray::number(all.size() + 1));
        return all;
    }

private slots:
    void init()
    {
        settings = std::make_unique<TestSettings>();
        transport = std::make_unique<FakeTransport>();
        told.clear();
        setUp();
    }

    void cleanup()
    {
        notes.reset();
        center.reset();
    }

    void formBody_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("encoded");
        const auto row = [](const char* name, QString value, QByteArray encoded) {
            QTest::newRow(name) << value << encoded;
        };
        row("plain", "demo", "demo");
        row("empty", "", "");
        row("form delimiters", "a&b=c", "a%26b%3Dc");
        row("plus is not a space", "1+1", "1%2B1");
        row("percent", "100%", "100%25");
        row("spaces and line breaks", " a b\r\nc", "%20a%20b%0D%0Ac");
        row("slovak", QStringLiteral("Žltý kôň"), "%C5%BDlt%C3%BD%20k%C3%B4%C5%88");
        row("emoji", QStringLiteral("👍"), "%F0%9F%91%8D");
    }

    void formBody()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, encoded);
        const DataEndpoint::Parameters parameters{{"noteKeyword", value}, {"limit", "100"}};
        notes->requestList(QStringLiteral("xml_notes"), [parameters] { return parameters; }, {});
        QCOMPARE(transport->bodies(),
                 QList<QByteArray>{"PHPSESSID=old&action=xml_notes&noteKeyword=" + encoded +
                                   "&limit=100"});
        // A form decoder on the server gets back exactly what was typed.
        const QUrlQuery decoded(QString::fromLatin1(transport->at(0).body));
        QCOMPARE(decoded.queryItemValue(QStringLiteral("noteKeyword"), QUrl::FullyDecoded), value);
        QCOMPARE(decoded.queryItems().size(), 4);
    }

    void checkSettings_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("printed");
        const QString noServer = QStringLiteral("Enter the server name in Preferences.");
        const QString noLogin = QStringLiteral("Enter your login and password in Preferences.");
        const auto row = [](const char* name, const char* host, const char* login,
                            const char* password, const QStringList& printed) {
            QTest::newRow(name) << host << login << password << printed;
        };
        row("complete", "h", "l", "p", {});
        row("blanks count as filled", " ", " ", " ", {});
        row("host empty", "", "l", "p", {noServer});
        row("host and login empty", "", "", "p", {noServer});
        row("login empty", "h", "", "p", {noLogin});
        row("password empty", "h", "l", "", {noLogin});
    }

    void checkSettings()
    {
        QFETCH(QString, host);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QStringList, printed);
        setUp(host, login, password);
        PrintedLines output;
        QCOMPARE(center->checkSettings(), printed.isEmpty());
        QCOMPARE(output.lines(), printed);
        QCOMPARE(session(), printed.isEmpty() ? OldSession : NoSession);
        if (host.trimmed().isEmpty())
            return;  // no address to send to
        send(false); // with the session id that is left
        QCOMPARE(transport->bodies(), bodies({printed.isEmpty() ? "old" : ""}, false));
    }

    // The login to the address made of the saved host and path, answered when it was sent.
    void login_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("sent");
        QTest::addColumn<ApiAnswer>("answer");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QString>("sessionAfter"); // a new session means the login was accepted
        const auto address = [](const char* name, const char* host, const char* path,
                                const QString& url, bool valid) {
            const QString invalid = "invalid server address, nothing was sent: " + url;
            QTest::newRow(name) << host << path << url << valid << json(Accepted)
                                << (valid ? QStringList() : QStringList{invalid})
                                << (valid ? NewSession : OldSession);
        };
        address("empty path", "n.sk", "", "https://n.sk/api/login.php", true);
        address("path glued to the host", "n.sk", "p", "https://n.skp/api/login.php", true);
        address("trailing slash doubles", "n.sk", "/p/", "https://n.sk/p//api/login.php", true);
        address("blanks are kept", " h ", " /p ", "https:// h  /p /api/login.php", false);
        address("no host", "", "/firma", "https:///firma/api/login.php", false);

        const QString u = QStringLiteral("the login answer cannot be read: ");
        const QStringList success{u + "\"success\" is missing or not an integer"};
        const QStringList id{u + "\"PHPSESSID\" is missing or not a string"};
        const auto row = [](const char* name, const ApiAnswer& answer, const QStringList& printed,
                            const QString& after = OldSession) {
            QTest::newRow(name) << "notes.example.sk"
                                << "/firma" << LoginUrl << true << answer << printed << after;
        };
        row("accepted", json(Accepted), {}, NewSession);
        row("refused", json(LoginRefused), {"Zlé heslo"}, NoSession);
        row("not json", reply(200, "text/html", "<html/>"), {u + "it is not a JSON object"});
        row("no success", json(R"({"PHPSESSID":"new"})"), success);
        row("success as text", json(R"({"success":"1","PHPSESSID":"new"})"), success);
        row("fractional success", json(R"({"success":1.5,"PHPSESSID":"new"})"), success);
        row("no session id", json(R"({"success":1})"), id);
        row("session id as number", json(R"({"success":1,"PHPSESSID":12})"), id);
        row("refusal without message", json(R"({"success":0,"PHPSESSID":""})"),
            {u + "the refusal has no \"error_message\""});
        row("status 500", reply(500, "application/json", Accepted), {});
        row("transport failure", failure("Host not found"), {"Host not found"});
    }

    void login()
    {
        QFETCH(QString, host);
        QFETCH(QString, path);
        QFETCH(QString, url);
        QFETCH(bool, sent);
        QFETCH(ApiAnswer, answer);
        QFETCH(QStringList, printed);
        QFETCH(QString, sessionAfter);
        setUp(host, "jana", Password, path);
        PrintedLines output;
        QList<bool> accepted;
        center->actionLogin([&accepted](bool isAccepted) { accepted.append(isAccepted); });
        QCOMPARE(transport->count(), sent ? 1 : 0);
        if (sent) {
            QCOMPARE(transport->at(0).url, QUrl(url));
            QCOMPARE(transport->at(0).body, LoginBody);
            QVERIFY(transport->answer(answer));
        }
        QCOMPARE(output.lines(), QStringList({url, LoginLine}) + printed);
        QCOMPARE(accepted, QList<bool>{sessionAfter == NewSession});
        QCOMPARE(session(), sessionAfter);
    }

    // The first caller is answered with the result of the login that replaced its own.
    void secondLoginCancelsTheFirst()
    {
        PrintedLines printed;
        QList<bool> first;
        QList<bool> second;
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
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("password");
        using enum ApiRequest::Outcome;
        const QString u = QStringLiteral("the server's answer cannot be read: ");
        const QString neither = u + "it is neither an XML list nor a JSON object";
        const QString code = u + "\"error_code\" is missing or not an integer";
        const QByteArray refusal = R"({"success":0,"error_code":5,"error_message":"Neexistuje"})";
        const ApiAnswer success = json(R"({"success":1})");
        const ApiAnswer list = reply(200, "text/xml; charset=utf-8", Xml);
        const QStringList relogin{LoginUrl, LoginLine};
        const auto row = [](bool command, const char* name, const Answers& answers,
                            const QStringList& printed, Outcome outcome,
                            const QString& password = Password) {
            QTest::addRow("%s: %s", command ? "command" : "list", name)
                << command << answers << printed << outcome << password;
        };
        for (const bool c : {false, true}) {
            row(c, "error envelope", {json(refusal)}, {"Neexistuje"}, Refused);
            row(c, "status 500", {reply(500, "text/xml", Xml)}, {}, HttpStatus);
            row(c, "transport failure", {failure("Reset")}, {"Reset"}, TransportFailed);
            row(c, c ? "code 3, login, repeat" : "code 2, login, repeat",
                {lost(c ? 3 : 2), json(Accepted), c ? success : list},
                relogin + QStringList{LoggedIn, c ? Deleted : XmlLine}, Succeeded);
        }
        row(false, "xml with charset", {list}, {XmlLine}, Succeeded);
        row(false, "application/xml", {reply(200, "application/xml", Xml)}, {neither}, Unreadable);
        row(false, "TEXT/XML", {reply(200, "TEXT/XML", Xml)}, {neither}, Unreadable);
        row(false, "no content type", {reply(200, {}, "oops")}, {neither}, Unreadable);
        row(false, "error code 0 beside success 1",
            {json(R"({"success":1,"error_code":0,"error_message":"nic"})")}, {"nic"}, Refused);
        row(false, "message missing", {json(R"({"success":0,"error_code":1})")},
            {u + "\"error_message\" is missing or not a string"}, Unreadable);
        row(false, "status 302", {reply(302, {}, {})}, {}, HttpStatus);
        row(true, "success", {success}, {Deleted}, Succeeded);
        row(true, "success as text/xml", {reply(200, "text/xml", R"({"success":1})")}, {Deleted},
            Succeeded);
        row(true, "xml list", {list}, {u + "it is not a JSON object"}, Unreadable);
        row(true, "no success", {json(R"({"error_code":5,"error_message":"x"})")},
            {u + "\"success\" is missing or not an integer"}, Unreadable);
        row(true, "fractional code", {json(R"({"success":0,"error_code":1.5,"error_message":""})")},
            {code}, Unreadable);
        // The lost request stays the outcome when no repeat follows or the repeat is lost again.
        row(false, "code 2, incomplete settings", {lost(2)},
            {"Enter your login and password in Preferences."}, Refused, "");
        row(false, "code 3, login refused", {lost(3), json(LoginRefused)},
            relogin + QStringList{"Zlé heslo"}, Refused);
        row(true, "code 2, login status 500", {lost(2), reply(500, {}, {})}, relogin, Refused);
        row(true, "code 2, repeat lost again", {lost(2), json(Accepted), lost(2)},
            relogin + QStringList{LoggedIn, "Relácia vypršala"}, Refused);
    }

    void exchange()
    {
        QFETCH(bool, command);
        QFETCH(Answers, answers);
        QFETCH(QStringList, printed);
        QFETCH(Outcome, outcome);
        QFETCH(QString, password);
        setUp("notes.example.sk", "jana", password);
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
        QCOMPARE(output.lines(), printed);
        QCOMPARE(told, QList<Outcome>{outcome});
    }

    void newerRequestReplacesAWaitingRepeat()
    {
        PrintedLines printed;
        send(false);
        QVERIFY(transport->answer(lost(2)));
        send(false);
        QVERIFY(transport->answerJson(Accepted, 1));
        QCOMPARE(transport->bodies(), bodies({"old", "login", "old"}, false));
        QCOMPARE(told, QList<Outcome>{Outcome::Refused}); // the older request
        QVERIFY(transport->answerXml(Xml));
        QCOMPARE(told, QList<Outcome>({Outcome::Refused, Outcome::Succeeded}));
        QCOMPARE(printed.lines(), QStringList({LoginUrl, LoginLine, XmlLine}));
    }

    void newerRequestCancelsTheOneInFlight()
    {
        PrintedLines printed;
        send(true);
        send(false);
        QVERIFY(!transport->isOpen(0));
        QCOMPARE(printed.lines(), QStringList()); // the cancellation follows later
        QTRY_COMPARE(told, QList<Outcome>{Outcome::Cancelled});
        QCOMPARE(printed.lines(), QStringList{Canceled});
        QVERIFY(transport->answerXml(Xml));
        QCOMPARE(printed.lines(), QStringList({Canceled, XmlLine}));
        QCOMPARE(told, QList<Outcome>({Outcome::Cancelled, Outcome::Succeeded}));
    }

    void trustRule_data()
    {
        QTest::addColumn<QString>("savedHost");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("trusted");
        const auto row = [](const char* name, const char* saved, const char* url, bool trusted) {
            QTest::newRow(name) << saved << url << trusted;
        };
        row("host and port", "localhost:8443", "https://localhost:8443/api/x", true);
        row("no saved port matches any port", "localhost", "https://localhost:8443/api/x", true);
        row("letter case", "Notes.Example.SK", "https://notes.example.sk/api/x", true);
        row("other port", "localhost:8443", "https://localhost:9443/api/x", false);
        row("other host", "localhost:8443", "https://127.0.0.1:8443/api/x", false);
        row("suffix is not the host", "example.sk", "https://evil-example.sk/x", false);
        row("default port named", "localhost:443", "https://localhost/api/x", true);
        row("plain http", "localhost", "http://localhost/x", false);
        row("ipv6 with port", "[::1]:8443", "https://[::1]:8443/x", true);
        row("ipv6 without port", "[::1]", "https://[::1]:8443/x", true);
        row("port that is no number", "localhost:abc", "https://localhost/x", false);
    }

    void trustRule()
    {
        QFETCH(QString, savedHost);
        QFETCH(QString, url);
        QFETCH(bool, trusted);
        QCOMPARE(TrustRule::acceptsUnverified(savedHost, QUrl(url)), trusted);
    }
};

QTEST_GUILESS_MAIN(RequestsTest)
#include "tst_requests.moc"
