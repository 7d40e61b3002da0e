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
const QString Password = QStringLiteral("p&ss+w%rd=1 Žltý\r\n👍");
const QString LoginLine = QStringLiteral("login=jana&password=********");
const QByteArray LoginBody =
    "login=jana&password=p%26ss%2Bw%25rd%3D1%20%C5%BDlt%C3%BD%0D%0A%F0%9F%91%8D";
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
        const QString noServer = QStringLiteral("Enter the server name in Preferences.");
        const auto row = [](const char* name, const QStringList& saved,
                            const QStringList& printed) {
            QTest::newRow(name) << saved << printed;
        };
        row("blanks count as filled", {" ", " ", " "}, {});
        row("host empty", {"", "l", "p"}, {noServer});
        row("host and login empty", {"", "", "p"}, {noServer});
        row("login empty", {"h", "", "p"}, {NoLogin});
        row("password empty", {"h", "l", ""}, {NoLogin});
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

    // The login to the address made of the saved host and path, answered when it was sent.
    void login_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url"); // where the login goes, when it goes out
        QTest::addColumn<ApiAnswer>("answer");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QString>("sessionAfter"); // a new session means the login was accepted
        const auto row = [](const char* name, const ApiAnswer& answer, const QStringList& printed,
                            const QString& after = OldSession,
                            const char* host = "notes.example.sk", const char* path = "/firma",
                            const QString& url = LoginUrl) {
            QTest::newRow(name) << host << path << url << answer << printed << after;
        };
        // The URL line shows host and path as they stand; the request is built from the parts
        // only when they follow the address rules.
        const QString invalid = QStringLiteral("invalid server address, nothing was sent: ");
        row("path in front of the host's name", {},
            {invalid + "the path \"@evil.example\" does not start with \"/\""}, OldSession,
            "notes.example.sk", "@evil.example", {});
        row("blanks around the host are dropped", json(Accepted), {}, NewSession, " n.sk ", "/p",
            "https://n.sk/p/api/login.php");
        row("no host", {}, {invalid + "the host is empty"}, OldSession, "", "/firma", {});
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
            {"the server answered with HTTP status 500"});
        row("transport failure", failure("Host not found"), {"Host not found"});
    }

    void login()
    {
        QFETCH(QString, host);
        QFETCH(QString, path);
        QFETCH(QString, url);
        QFETCH(ApiAnswer, answer);
        QFETCH(QStringList, printed);
        QFETCH(QString, sessionAfter);
        setUp(host, "jana", Password, path);
        PrintedLines output;
        QList<bool> accepted;
        center->actionLogin([&accepted](bool isAccepted) { accepted.append(isAccepted); });
        const bool sent = !printed.join(' ').contains("nothing was sent");
        QCOMPARE(transport->count(), int(sent));
        if (sent) {
            QCOMPARE(transport->at(0).url, QUrl(url));
            QCOMPARE(transport->at(0).body, LoginBody);
            const QUrlQuery decoded(QString::fromLatin1(transport->at(0).body)); // as the server
            QCOMPARE(decoded.queryItemValue("password", QUrl::FullyDecoded), Password);
            QVERIFY(transport->answer(answer));
        }
        QCOMPARE(output.lines(),
                 QStringList({"https://" + host + path + "/api/login.php", LoginLine}) + printed);
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
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<Outcome>("outcome");
        using enum ApiRequest::Outcome;
        const QString u = QStringLiteral("the server's answer cannot be read: ");
        const QString neither = u + "it is neither an XML list nor a JSON object";
        const QByteArray refusal =
            "{\"success\":0,\"error_code\":5,\"error_message\":\"Neexistuje\\u001b]0;x\\u0007\"}";
        const ApiAnswer list = reply(200, "text/xml; charset=utf-8", Xml);
        const QStringList relogin{LoginUrl, LoginLine};
        const auto row = [](bool command, const char* name, const Answers& answers,
                            const QStringList& printed, Outcome outcome) {
            QTest::addRow("%s: %s", command ? "command" : "list", name)
                << command << answers << printed << outcome;
        };
        for (const bool c : {false, true}) {
            row(c, "error envelope", {json(refusal)}, {u"Neexistuje\ufffd]0;x\ufffd"_qs}, Refused);
            row(c, "status 500", {reply(500, "text/xml", Xml)},
                {"the server answered with HTTP status 500"}, HttpStatus);
            // Server and transport texts are printed as one safe line.
            row(c, "transport failure", {failure("Reset\r\n\x1b[2J\u009b")},
                {u"Reset\ufffd\ufffd\ufffd[2J\ufffd"_qs}, TransportFailed);
            row(c, c ? "code 3, login, repeat" : "code 2, login, repeat",
                {lost(c ? 3 : 2), json(Accepted), c ? json(R"({"success":1})") : list},
                relogin + QStringList{LoggedIn, c ? Deleted : XmlLine}, Succeeded);
        }
        row(false, "a long message is cut", {failure(QString(600, 'x'))},
            {QString(500, 'x') + QChar(0x2026)}, TransportFailed);
        row(false, "TEXT/XML", {reply(200, "TEXT/XML", Xml)}, {neither}, Unreadable);
        row(false, "no content type", {reply(200, {}, Xml)}, {neither}, Unreadable);
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
        row(false, "code 2, incomplete settings", {lost(2)}, {NoLogin}, Refused);
        row(false, "code 3, login refused", {lost(3), json(LoginRefused)},
            relogin + QStringList{"Zlé heslo"}, Refused);
        row(true, "code 2, repeat lost again", {lost(2), json(Accepted), lost(2)},
            relogin + QStringList{LoggedIn, "Relácia vypršala"}, Refused);
    }

    void exchange()
    {
        QFETCH(bool, command);
        QFETCH(Answers, answers);
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
        QCOMPARE(output.lines(), printed);
        QCOMPARE(told, QList<Outcome>{outcome});
    }

    // A newer request cancels the one in flight, and takes the place of a repeat that waits for
    // its login.
    void newerRequestsCancelAndReplace()
    {
        PrintedLines printed;
        send(false);
        send(false);
        QVERIFY(!transport->isOpen(0));
        QCOMPARE(printed.lines(), QStringList()); // the cancellation follows later
        QTRY_COMPARE(told, QList<Outcome>{Outcome::Cancelled});
        QVERIFY(transport->answer(lost(2)));
        send(false);
        QVERIFY(transport->answerJson(Accepted, 2));
        QVERIFY(transport->answerXml(Xml));
        QCOMPARE(told, QList<Outcome>({Outcome::Cancelled, Outcome::Refused, Outcome::Succeeded}));
        QCOMPARE(transport->bodies(), bodies({"old", "old", "login", "old"}, false));
        QCOMPARE(printed.lines(), QStringList({Canceled, LoginUrl, LoginLine, XmlLine}));
    }

    void trustRule_data()
    {
        QTest::addColumn<QString>("savedHost");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("trusted");
        const auto row = [](const char* name, const char* saved, const char* url, bool trusted) {
            QTest::newRow(name) << saved << url << trusted;
        };
        row("host and port", "localhost:8443", "https://localhost:8443/x", true);
        row("no saved port matches any port", "localhost", "https://localhost:8443/x", true);
        row("letter case", "Notes.Example.SK", "https://notes.example.sk/x", true);
        row("other port", "localhost:8443", "https://localhost:9443/x", false);
        row("suffix is not the host", "example.sk", "https://evil-example.sk/x", false);
        row("default port named", "localhost:443", "https://localhost/x", true);
        row("plain http", "localhost", "http://localhost/x", false);
        row("ipv6 with port", "[::1]:8443", "https://[::1]:8443/x", true);
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
