// Tests of notes-devserver: the form decoder and the XML and JSON writers in-process, everything
// else over HTTPS against real server processes started by TestServer.

#include "FormDecoder.h"
#include "PhpJson.h"
#include "XmlListWriter.h"
#include "support/TestServer.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QSslSocket>
#include <QThread>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

using Fields = FormDecoder::Fields;

namespace {
constexpr int WaitMs = 20000;

// One HTTP answer as the bytes arrived; status 0 means the connection closed without a complete
// answer (or with one whose Content-Length does not match its body).
struct Answer
{
    int status = 0;
    QByteArray contentType; // "-" when the header is absent
    QByteArray body;

    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    int errorCode() const { return json()["error_code"].toInt(); }
};

// Sends one request that asks the server to close the connection after its answer.
std::unique_ptr<QSslSocket> send(quint16 port, const QByteArray& path, const QByteArray& body,
                                 const QByteArray& headers = {})
{
    auto socket = std::make_unique<QSslSocket>();
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    socket->waitForEncrypted(WaitMs);
    socket->write("POST " + path + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n" +
                  "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
    socket->waitForBytesWritten(WaitMs);
    return socket;
}

Answer readAnswer(QSslSocket& socket)
{
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(WaitMs)) {
    }
    const QByteArray raw = socket.readAll();
    const qsizetype end = raw.indexOf("\r\n\r\n");
    const auto header = [head = raw.left(end) + "\r\n"](const QByteArray& name) {
        const qsizetype at = head.indexOf("\r\n" + name + ": ");
        return at < 0 ? "-" : head.mid(at + name.size() + 4).split('\r').constFirst();
    };
    Answer answer{0, header("Content-Type"), raw.mid(end + 4)};
    if (end > 0 && answer.body.size() == header("Content-Length").toLongLong())
        answer.status = raw.split(' ').value(1).toInt();
    return answer;
}

QByteArray enc(const QString& text)
{
    return QUrl::toPercentEncoding(text);
}

QJsonObject object(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

// The ids of a list in document order.
QList<int> ids(const QByteArray& xml, const QString& idElement)
{
    QList<int> result;
    const QRegularExpression id('<' + idElement + ">([0-9]+)</" + idElement + '>');
    for (const QRegularExpressionMatch& match : id.globalMatch(QString::fromUtf8(xml)))
        result.append(match.captured(1).toInt());
    return result;
}

const QByteArray XmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// A notes list of one note: {id, escaped text, date, projectId, project, clientId, client}.
QByteArray noteList(const QStringList& f)
{
    return XmlDeclaration +
           QStringLiteral("<notes>\n  <item>\n    <NoteID>%1</NoteID>\n    <note>%2</note>\n"
                          "    <datetime_create>%3</datetime_create>\n"
                          "    <ProjectID value=\"%4\">%5</ProjectID>\n"
                          "    <RealEstateID value=\"0\"></RealEstateID>\n"
                          "    <TaskID value=\"0\"></TaskID>\n    <GroupID value=\"0\"></GroupID>\n"
                          "    <ClientID value=\"%6\">%7</ClientID>\n"
                          "    <OrderID value=\"0\"></OrderID>\n  </item>\n</notes>\n")
               .arg(f[0], f[1], f[2], f[3], f[4], f[5], f[6])
               .toUtf8();
}

// As PHP's json_encode() writes it: "/" escaped, every character beyond ASCII as \u escapes.
const QByteArray PhpStyle = "{\"success\":0,\"PHPSESSID\":\"\",\"error_message\":"
                            "\"Zl\\u00e9 \\\"heslo\\\" \\/ a\\\\b\\n\\ud83d\\ude00\"}";
const QByteArray Success = R"({"success":1,"error_code":0,"error_message":""})";
const QByteArray Demo = "login=demo&password=demo";
const QList<int> AllNotes = {11, 10, 8, 7, 6, 5, 3, 2, 1, 9, 4}; // the newest first
} // namespace

class TestDevServer : public QObject
{
    Q_OBJECT

    TestServer m_server;   // seeded data only: nothing here writes to it
    TestServer m_writable; // adds, edits, deletes, restarts

    Answer post(const QByteArray& script, const QByteArray& body, TestServer* server = nullptr)
    {
        return readAnswer(*send((server ? server : &m_server)->port(), "/api/" + script, body));
    }
    // "PHPSESSID=<id>&" of a fresh login as demo.
    QByteArray session(TestServer* server = nullptr)
    {
        const QString id = post("login.php", Demo, server).json()["PHPSESSID"].toString();
        return "PHPSESSID=" + id.toUtf8() + '&';
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_server.start(), "notes-devserver did not report its port");
        QVERIFY(m_writable.start());
    }

    void init() { QVERIFY(m_server.clearFaults() && m_server.clearRequests()); }

    void formDecoding_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Fields>("expected");
        const auto row = [](const char* name, const char* body, const Fields& fields) {
            QTest::newRow(name) << QByteArray(body) << fields;
        };
        const QString e = QStringLiteral("é");
        row("+ is a space; %2B, %26, %3D and = stay in the value", "a=x+y&b=x%2B%26y%3Dz&c=c=d",
            {{"a", "x y"}, {"b", "x+&y=z"}, {"c", "c=d"}});
        row("invalid % kept", "a=100%&b=%zz&c=%4&d=%%41",
            {{"a", "100%"}, {"b", "%zz"}, {"c", "%4"}, {"d", "%A"}});
        row("UTF-8 either case", "a=%C3%A9&b=%c3%a9", {{"a", e}, {"b", e}});
        row("no =, empty pairs and keys", "flag&&=1&a=2&", {{"flag", ""}, {"a", "2"}});
        row("last of a repeated key, line breaks", "a=1&a=x%0D%0Ay%0A", {{"a", "x\r\ny\n"}});
        row("dot, space, encoding in keys", "a.b=1&c+d=2&e%20f=3&+g=4&n%61me=x",
            {{"a_b", "1"}, {"c_d", "2"}, {"e_f", "3"}, {"g", "4"}, {"name", "x"}});
        row("empty body", "", {});
    }

    void formDecoding()
    {
        QFETCH(QByteArray, body);
        QFETCH(Fields, expected);
        QCOMPARE(FormDecoder::decode(body), expected);
    }

    // Markup and line ends survive an XML parser, as element text and as a value attribute; code
    // units XML cannot carry (C0 controls, U+FFFE, U+FFFF, a lone surrogate) become U+FFFD.
    void xmlEscapingRoundTrip()
    {
        const QString kept = QStringLiteral("a & b <c> \"d\" 'e'\r\nf\rg\nh\ti é 😀");
        const QString lost = QString(QChar(1)) + QChar(0x1F) + QChar(0) + QChar(0xFFFE) +
                             QChar(0xFFFF) + QChar(0xD800) + 'x';
        const QString r = QString(6, QChar::ReplacementCharacter) + 'x';
        QCOMPARE(XmlListWriter::escapeText(kept + lost),
                 "a &amp; b &lt;c&gt; \"d\" 'e'&#13;\nf&#13;g\nh&#9;i é 😀" + r);
        QCOMPARE(XmlListWriter::escapeAttribute(kept + lost),
                 "a &amp; b &lt;c&gt; &quot;d&quot; 'e'&#13;&#10;f&#13;g&#10;h&#9;i é 😀" + r);
        XmlListWriter writer(QStringLiteral("notes"));
        writer.beginItem();
        writer.addText(QStringLiteral("note"), kept + lost);
        writer.addLinked(QStringLiteral("ClientID"), kept + lost, QStringLiteral("x"));
        writer.endItem();
        QXmlStreamReader reader(writer.finish());
        QVERIFY(reader.readNextStartElement() && reader.readNextStartElement()); // notes, item
        QVERIFY(reader.readNextStartElement() && reader.name() == QLatin1String("note"));
        QCOMPARE(reader.readElementText(), kept + r);
        QVERIFY(reader.readNextStartElement());
        QCOMPARE(reader.attributes().value("value").toString(), kept + r);
    }

    void phpJsonEncoding()
    {
        const QString message = QStringLiteral("Zlé \"heslo\" / a\\b\n😀");
        const QByteArray json =
            PhpJson::object({{"success", 0}, {"PHPSESSID", QString()}, {"error_message", message}});
        QCOMPARE(json, PhpStyle);
    }

    void jsonAnswers_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("body"); // a leading "$" stands for "PHPSESSID=<valid>&"
        QTest::addColumn<QString>("json");    // with <id> for a session id, <text> for a message
        const auto row = [](const char* name, const char* script, const QByteArray& body,
                            const QString& json) {
            QTest::newRow(name) << QByteArray(script) << body << json;
        };
        const QString accepted = R"({"success":1,"PHPSESSID":"<id>","error_message":""})";
        const QString refused = R"({"success":0,"PHPSESSID":"","error_message":"<text>"})";
        const QString error = R"({"success":0,"error_code":%1,"error_message":"<text>"})";
        const QByteArray edit = "$action=edit_note&ProjectID=0&ClientID=0";
        row("login, & + % = encoded", "login.php", "login=jana&password=" + enc("p&ss+w%rd=1"),
            accepted);
        row("login without password", "login.php", "login=demo", refused);
        row("no session id", "notes.php", "action=xml_notes", error.arg(2));
        row("empty session id", "client.php", "PHPSESSID=&action=xml_clients", error.arg(2));
        row("unknown session id", "project.php", "PHPSESSID=abc&action=xml_projects", error.arg(2));
        row("unknown action", "notes.php", "$action=bogus", error.arg(4));
        row("edit unknown note", "notes.php", edit + "&NoteID=9999&note=x", error.arg(5));
        row("edit without NoteID", "notes.php", edit + "&note=x", error.arg(1));
        row("add with text ProjectID", "notes.php",
            "$action=add_note&note=x&ProjectID=a&ClientID=0", error.arg(1));
    }

    void jsonAnswers()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, body);
        QFETCH(QString, json);
        const Answer answer = post(script, body.startsWith('$') ? session() + body.mid(1) : body);
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.contentType, QByteArray("application/json"));
        QString got = QString::fromUtf8(answer.body);
        got.replace(QRegularExpression("\"PHPSESSID\":\"[0-9a-v]{26}\""), "\"PHPSESSID\":\"<id>\"");
        got.replace(QRegularExpression("\"error_message\":\"[^\"]+\""),
                    "\"error_message\":\"<text>\"");
        QCOMPARE(got, json);
    }

    // Expired sessions answer error 3 until a new login; forgotten ones error 2.
    void expiredAndClearedSessions()
    {
        const QByteArray first = session();
        QVERIFY(m_server.expireSessions());
        QCOMPARE(post("client.php", first + "action=xml_clients").errorCode(), 3);
        const QByteArray second = session();
        const Answer newest = post("notes.php", second + "action=xml_notes&limit=3");
        QCOMPARE(ids(newest.body, "NoteID"), (QList<int>{11, 10, 8}));
        QVERIFY(m_server.clearSessions());
        QCOMPARE(post("client.php", second + "action=xml_clients").errorCode(), 2);
    }

    void noteSearch_data()
    {
        QTest::addColumn<QByteArray>("form"); // what follows "action=xml_notes"
        QTest::addColumn<QList<int>>("found");
        const auto row = [](const char* name, const QByteArray& form, const QList<int>& found) {
            QTest::newRow(name) << form << found;
        };
        row("no keyword, limit", "&noteKeyword=&limit=3", {11, 10, 8});
        row("note text, any case", "&noteKeyword=" + enc("POZNÁMKA"), {5, 4});
        row("client name, any case", "&clientKeyword=" + enc("žilina"), {11, 2, 1});
        row("client and project", "&clientKeyword=alp&projectKeyword=" + enc("KÚP"), {10});
        row("% stands for itself", "&noteKeyword=%25", {3});
        row("_ stands for itself", "&noteKeyword=_", {});
        row("backslash stands for itself", "&noteKeyword=%5C", {});
    }

    void noteSearch()
    {
        QFETCH(QByteArray, form);
        QFETCH(QList<int>, found);
        const Answer answer = post("notes.php", session() + "action=xml_notes" + form);
        QCOMPARE(ids(answer.body, "NoteID"), found);
    }

    void exactListXml()
    {
        const QByteArray notes =
            "action=xml_notes&noteKeyword=" + enc("CENA & PODMIENKY: <50 % ZÁL");
        QCOMPARE(post("notes.php", session() + notes).body,
                 noteList({"3", "Cena &amp; podmienky: &lt;50 % záloha&gt; + doplatok = 100 %",
                           "2018-01-15 10:00:00", "7", "Roof", "2", "Alpha"}));
        // Only note 10 has both; each keyword alone finds another note too.
        const QByteArray both = "action=xml_notes&clientKeyword=ALP&projectKeyword=" + enc("KÚP");
        QCOMPARE(post("notes.php", session() + both).body,
                 noteList({"10", "  Odsadený text&#9;so zarážkou", "2023-06-06 06:06:06", "3",
                           "Kúpeľňa", "2", "Alpha"}));
        const QByteArray projects = "action=xml_projects&StatusID=1&limit=1";
        QCOMPARE(post("project.php", session() + projects).body,
                 XmlDeclaration +
                     "<projects>\n  <item>\n    <ProjectID>4</ProjectID>\n    <name>"
                     "Fasáda &lt;nová&gt;</name>\n    <CatID value=\"1\">Budovy</CatID>\n"
                     "  </item>\n</projects>\n");
    }

    // A note is stored as sent and listed escaped, linked to nothing; an edit relinks it; notes
    // survive a restart on the same data directory, sessions do not; a deleted note is gone.
    void noteLifecycle()
    {
        TestServer* const w = &m_writable;
        const QByteArray oldSession = session(w) + "action=";
        const QString text =
            QStringLiteral("  a & b <c> \"d\" \r\n e\tf + % = x=1&y=%20+z\rĎ\n\a ");
        const Answer added =
            post("notes.php", oldSession + "add_note&ProjectID=0&ClientID=0&note=" + enc(text), w);
        const QByteArray noteId = QByteArray::number(added.json()["NoteID"].toInteger());
        QCOMPARE(added.body, Success.chopped(1) + ",\"NoteID\":" + noteId + '}');
        const QJsonObject stored = m_writable.notes().last().toObject();
        QCOMPARE(stored["note"].toString(), text);
        const QString created = stored["datetime_create"].toString();
        QVERIFY(QDateTime::fromString(created, "yyyy-MM-dd HH:mm:ss").isValid());
        const QString escaped =
            "  a &amp; b &lt;c&gt; \"d\" &#13;\n e&#9;f + % = x=1&amp;y=%20+z&#13;Ď\n\uFFFD ";
        QCOMPARE(post("notes.php", oldSession + "xml_notes&limit=1", w).body,
                 noteList({noteId, escaped, created, "0", "", "0", ""}));
        const QByteArray edit = "&note=" + enc("final é") + "&ProjectID=3&ClientID=6";
        QCOMPARE(post("notes.php", oldSession + "edit_note&NoteID=" + noteId + edit, w).body,
                 Success);

        const QJsonArray before = m_writable.notes();
        QVERIFY(m_writable.start(m_writable.dataDir(), {}));
        QCOMPARE(m_writable.notes(), before);
        QCOMPARE(post("notes.php", oldSession + "xml_notes", w).errorCode(), 2);
        const QByteArray id = session(w) + "action=";
        QCOMPARE(post("notes.php", id + "xml_notes&limit=1", w).body,
                 noteList({noteId, "final é", created, "3", "Kúpeľňa", "6", "Čierny Peter"}));
        QCOMPARE(post("notes.php", id + "delete_note&NoteID=" + noteId, w).body, Success);
        QVERIFY(m_writable.notes().last()["id"].toInteger() < noteId.toLongLong());
        QCOMPARE(post("notes.php", id + "delete_note&NoteID=" + noteId, w).errorCode(), 5);
    }

    void faultAnswers_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QByteArray>("answer"); // status (0: none), Content-Type ("-": none), body
        const auto row = [](const char* name, const char* fault, const char* answer) {
            QTest::newRow(name) << QByteArray(fault) << QByteArray(answer);
        };
        row("status, type, body, delay",
            R"({"status":500,"contentType":"text/html","body":"<p>down</p>","delayMs":100})",
            "500 text/html <p>down</p>");
        row("null contentType", R"({"contentType":null,"body":"é"})", "200 - é");
        row("defaults", "{}", "200 - ");
        row("drop after a delay", R"({"drop":true,"delayMs":100,"status":500,"body":"x"})", "0 - ");
    }

    // The first matching request gets the fault's answer and is recorded; the next one gets the
    // real answer.
    void faultAnswers()
    {
        QFETCH(QByteArray, fault);
        QFETCH(QByteArray, answer);
        const QByteArray list = session() + "action=xml_notes";
        QJsonObject matching = object(fault);
        matching["match"] = QJsonObject{{"script", "notes.php"}, {"action", "xml_notes"}};
        QVERIFY(m_server.injectFault(matching));
        const Answer f = post("notes.php", list);
        QCOMPARE(QByteArray::number(f.status) + ' ' + f.contentType + ' ' + f.body, answer);
        QCOMPARE(ids(post("notes.php", list).body, "NoteID"), AllNotes);
        QCOMPARE(m_server.requestBodies("xml_notes"), (QList<QByteArray>{list, list}));
    }

    void faultCountAndMatch()
    {
        const QByteArray edit =
            session() + "action=edit_note&note=x&ProjectID=0&ClientID=0&NoteID=";
        QVERIFY(m_server.injectFault(
            object(R"({"match":{"NoteID":"9999","script":"notes.php"},"count":2,"status":503})")));
        QCOMPARE(post("notes.php", edit + "9998").errorCode(), 5);
        QCOMPARE(post("notes.php", edit + "9999").status, 503);
        QCOMPARE(post("notes.php", edit + "9999").status, 503);
        QCOMPARE(post("notes.php", edit + "9999").errorCode(), 5);
        for (const char* invalid : {R"({"status":42})", R"({"count":0})", R"({"delayMs":-5})"})
            QVERIFY2(!m_server.injectFault(object(invalid)), invalid);
        QCOMPARE(readAnswer(*send(m_server.port(), "/__admin/faults", "[1]")).status, 400);
        QCOMPARE(post("login.php", Demo).status, 200);
    }

    // A pass-through fault makes the real answer after its delay, not on arrival, and the delay
    // blocks no other request.
    void passThroughAnswersAfterItsDelay()
    {
        const QByteArray id = session();
        QVERIFY(m_server.injectFault(object(R"({"match":{"script":"project.php"},"delayMs":3000,
                                                "passThrough":true,"status":500})")));
        const auto delayed = send(m_server.port(), "/api/project.php", id + "action=xml_projects");
        const QDeadlineTimer deadline(WaitMs);
        while (m_server.requests().size() < 2 && !deadline.hasExpired())
            QThread::msleep(20);
        QVERIFY(m_server.clearSessions()); // the session was valid when the request arrived
        const Answer answer = readAnswer(*delayed);
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.errorCode(), 2);
    }

    // The record keeps each request as it came; standard error gets one line per request, with no
    // password or session id in it.
    void requestRecordAndLog()
    {
        const QByteArray body = "x.y=a%2Bb+c%26d%zz&=&&login=jana&password=" + enc("p&ss+w%rd=1");
        const QByteArray cookies = "Cookie: a=b\r\nCookie: c=d\r\n";
        QCOMPARE(readAnswer(*send(m_server.port(), "/p/api/login.php", body, cookies)).status, 200);
        post("notes.php", "PHPSESSID=nope&action=xml_notes");
        QJsonObject login = object(R"({"method":"POST","path":"/p/api/login.php","action":"",
            "script":"login.php","contentType":"application/x-www-form-urlencoded",
            "cookie":"a=b; c=d"})");
        login["body"] = QString::fromUtf8(body);
        const QJsonArray record = m_server.requests();
        QCOMPARE(record.size(), 2);
        QCOMPARE(record[0].toObject(), login);
        QCOMPARE(record[1]["action"].toString(), QStringLiteral("xml_notes"));
        const QByteArray log = m_server.serverLog();
        QVERIFY2(log.contains("POST /p/api/login.php 200\n"), log.right(300));
        QVERIFY(log.contains("POST /api/notes.php action=xml_notes 200\n"));
        QVERIFY(!log.contains("password") && !log.contains("p%26ss") && !log.contains("PHPSESSID"));
    }

    // The generated certificate fits every loopback name; its only flaw is being self-signed.
    void certificateFitsLoopbackNames()
    {
        for (const char* host : {"localhost", "127.0.0.1", "::1"}) {
            QSslSocket socket;
            socket.connectToHostEncrypted(QLatin1String(host), m_server.port());
            socket.waitForEncrypted(WaitMs);
            QCOMPARE(socket.sslHandshakeErrors().size(), 1);
            QCOMPARE(socket.sslHandshakeErrors()[0].error(), QSslError::SelfSignedCertificate);
        }
    }
};

QTEST_MAIN(TestDevServer)
#include "tst_devserver.moc"
