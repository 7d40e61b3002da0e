// Tests of notes-devserver: the form decoder and XML writer in-process, everything else over
// HTTPS against real server processes started by TestServer.

#include "AdminApi.h"
#include "FaultQueue.h"
#include "FormDecoder.h"
#include "NotesDatabase.h"
#include "PhpJson.h"
#include "RequestLog.h"
#include "SessionStore.h"
#include "XmlListWriter.h"
#include "support/TestServer.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslSocket>
#include <QThread>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

using Fields = FormDecoder::Fields;

namespace {

// One HTTP answer as the bytes arrived; status 0 means the connection closed without an answer.
struct Answer
{
    int status = 0;
    QByteArray head;
    QByteArray body;

    bool hasHeader(const QByteArray& name) const { return header(name) != "\n"; }
    QByteArray header(const QByteArray& name) const
    {
        for (const QByteArray& line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return "\n";
    }
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

std::unique_ptr<QSslSocket> connectTo(quint16 port)
{
    auto socket = std::make_unique<QSslSocket>();
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    socket->waitForEncrypted(20000);
    return socket;
}

void send(QSslSocket& socket, const QByteArray& method, const QByteArray& path,
          const QByteArray& body, const QByteArray& extraHeaders = {})
{
    socket.write(method + ' ' + path +
                 " HTTP/1.1\r\nHost: localhost\r\nContent-Type: "
                 "application/x-www-form-urlencoded\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\n" + extraHeaders + "\r\n" + body);
    socket.waitForBytesWritten(20000);
}

Answer readAnswer(QSslSocket& socket)
{
    Answer answer;
    QByteArray raw;
    const QDeadlineTimer deadline(20000);
    for (;;) {
        const qsizetype end = raw.indexOf("\r\n\r\n");
        answer.head = end < 0 ? QByteArray() : raw.left(end);
        const qsizetype length = answer.header("Content-Length").toLongLong();
        if (end >= 0 && raw.size() - end - 4 >= length) {
            answer.status = raw.split(' ').value(1).toInt();
            answer.body = raw.mid(end + 4, length);
            return answer;
        }
        if (!socket.waitForReadyRead(int(deadline.remainingTime())) && socket.bytesAvailable() == 0)
            return answer;
        raw += socket.readAll();
    }
}

Answer request(quint16 port, const QByteArray& method, const QByteArray& path,
               const QByteArray& body = {}, const QByteArray& extraHeaders = {})
{
    const auto socket = connectTo(port);
    send(*socket, method, path, body, extraHeaders);
    return readAnswer(*socket);
}

Answer post(quint16 port, const QByteArray& script, const QByteArray& body)
{
    return request(port, "POST", "/api/" + script, body);
}

QByteArray enc(const QString& text)
{
    return QUrl::toPercentEncoding(text);
}

QString login(quint16 port, const QString& user = QStringLiteral("demo"),
              const QString& password = QStringLiteral("demo"))
{
    const Answer answer =
        post(port, "login.php", "login=" + enc(user) + "&password=" + enc(password));
    return answer.json().value(QLatin1String("PHPSESSID")).toString();
}

QByteArray session(quint16 port)
{
    return "PHPSESSID=" + login(port).toUtf8() + '&';
}

// Each <item>'s children as element name -> text, plus "name@value" for a value attribute.
QList<QHash<QString, QString>> items(const QByteArray& xml, QString* error = nullptr)
{
    QList<QHash<QString, QString>> found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("item")) {
            found.append(QHash<QString, QString>());
            continue;
        }
        if (found.isEmpty())
            continue;
        const QString name = reader.name().toString();
        if (reader.attributes().hasAttribute(QLatin1String("value")))
            found.last().insert(name + "@value", reader.attributes().value("value").toString());
        found.last().insert(name, reader.readElementText());
    }
    if (error)
        *error = reader.hasError() ? reader.errorString() : QString();
    return found;
}

QList<int> ids(const QByteArray& xml, const QString& idElement)
{
    QString error;
    QList<int> result;
    for (const auto& item : items(xml, &error))
        result.append(item.value(idElement).toInt());
    return error.isEmpty() ? result : QList<int>{-1};
}

QJsonObject storedNote(TestServer& server, qint64 id)
{
    for (const QJsonValue& note : server.notes()) {
        if (note[QLatin1String("id")].toInteger() == id)
            return note.toObject();
    }
    return {};
}

QString noteItemXml(const QStringList& f)
{
    return QStringLiteral("  <item>\n    <NoteID>%1</NoteID>\n    <note>%2</note>\n"
                          "    <datetime_create>%3</datetime_create>\n"
                          "    <ProjectID value=\"%4\">%5</ProjectID>\n"
                          "    <RealEstateID value=\"0\"></RealEstateID>\n"
                          "    <TaskID value=\"0\"></TaskID>\n    <GroupID value=\"0\"></GroupID>\n"
                          "    <ClientID value=\"%6\">%7</ClientID>\n"
                          "    <OrderID value=\"0\"></OrderID>\n  </item>\n")
        .arg(f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
}

const QByteArray XmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

} // namespace

class TestDevServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void formDecoding_data();
    void formDecoding();
    void xmlTextEscaping_data();
    void xmlTextEscaping();
    void xmlAttributeEscaping();
    void phpJsonEncoding();
    void adminOnlyForLoopbackPeers_data();
    void adminOnlyForLoopbackPeers();

    void login_data();
    void login();
    void missingOrUnknownSession_data();
    void missingOrUnknownSession();
    void expiredAndClearedSessions();
    void sessionLifetimeOption();
    void errorCodes_data();
    void errorCodes();
    void httpErrors_data();
    void httpErrors();

    void noteSearch_data();
    void noteSearch();
    void noteListExactXml_data();
    void noteListExactXml();
    void statusFilter_data();
    void statusFilter();
    void projectListExactXml();

    void noteTextRoundTrip_data();
    void noteTextRoundTrip();
    void editAndDelete();
    void persistenceAcrossRestart();

    void faultAnswers_data();
    void faultAnswers();
    void faultCountAndMatch();
    void faultDrop_data();
    void faultDrop();
    void faultDelayDoesNotBlock();
    void faultPassThroughProcessesAfterDelay();
    void invalidFaultRejected();

    void requestLogKeepsRawBody();
    void serverLogHasNoSecrets();
    void certificateFitsLoopbackNames_data();
    void certificateFitsLoopbackNames();
    void certificateFiles();

private:
    QStringList certificateArgs() const;

    TestServer m_server;   // seeded data only: nothing here writes to it
    TestServer m_writable; // adds, edits, deletes, restarts
};

void TestDevServer::initTestCase()
{
    QVERIFY2(m_server.start(), "notes-devserver did not report its port");
    QVERIFY(m_writable.start(certificateArgs()));
    QCOMPARE(m_server.host(), QStringLiteral("localhost:%1").arg(m_server.port()));
}

void TestDevServer::init()
{
    QVERIFY(m_server.clearFaults());
    QVERIFY(m_writable.clearFaults());
}

QStringList TestDevServer::certificateArgs() const
{
    const QDir dir(m_server.dataDir());
    return {QStringLiteral("--cert"), dir.filePath(QStringLiteral("cert.pem")),
            QStringLiteral("--key"), dir.filePath(QStringLiteral("key.pem"))};
}

// ---- in-process: form decoding, XML and JSON writing

void TestDevServer::formDecoding_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Fields>("expected");
    const QString e = QStringLiteral("é");
    QTest::newRow("plus is a space") << QByteArray("a=x+y") << Fields{{"a", "x y"}};
    QTest::newRow("%2B is a plus") << QByteArray("a=x%2By") << Fields{{"a", "x+y"}};
    QTest::newRow("%26 stays in the value")
        << QByteArray("a=x%26y&b=1") << Fields{{"a", "x&y"}, {"b", "1"}};
    QTest::newRow("%3D and a second =")
        << QByteArray("a=x%3Dy&b=c=d") << Fields{{"a", "x=y"}, {"b", "c=d"}};
    QTest::newRow("invalid % kept")
        << QByteArray("a=100%&b=%zz&c=%4&d=%%41")
        << Fields{{"a", "100%"}, {"b", "%zz"}, {"c", "%4"}, {"d", "%A"}};
    QTest::newRow("UTF-8 either case")
        << QByteArray("a=%C3%A9&b=%c3%a9") << Fields{{"a", e}, {"b", e}};
    QTest::newRow("key without =") << QByteArray("flag&a=1") << Fields{{"flag", ""}, {"a", "1"}};
    QTest::newRow("empty pairs and keys skipped") << QByteArray("&&=1&a=2&") << Fields{{"a", "2"}};
    QTest::newRow("repeated key: last wins")
        << QByteArray("a=1&b=x&a=2") << Fields{{"a", "2"}, {"b", "x"}};
    QTest::newRow("dot and space in keys")
        << QByteArray("a.b=1&c+d=2&e%20f=3&+g=4")
        << Fields{{"a_b", "1"}, {"c_d", "2"}, {"e_f", "3"}, {"g", "4"}};
    QTest::newRow("encoded key") << QByteArray("n%61me=x") << Fields{{"name", "x"}};
    QTest::newRow("line breaks") << QByteArray("a=x%0D%0Ay%0A") << Fields{{"a", "x\r\ny\n"}};
    QTest::newRow("empty body") << QByteArray() << Fields{};
}

void TestDevServer::formDecoding()
{
    QFETCH(QByteArray, body);
    QFETCH(Fields, expected);
    QCOMPARE(FormDecoder::decode(body), expected);
}

void TestDevServer::xmlTextEscaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::addColumn<QString>("parsed");
    const QString fffd(QChar::ReplacementCharacter);
    const QString markup = QStringLiteral("a & b <c> \"d\" 'e'");
    QTest::newRow("plain") << QStringLiteral("é Ž") << QStringLiteral("é Ž")
                           << QStringLiteral("é Ž");
    QTest::newRow("markup") << markup << QStringLiteral("a &amp; b &lt;c&gt; \"d\" 'e'") << markup;
    QTest::newRow("line ends") << QStringLiteral("a\r\nb\rc\nd")
                               << QStringLiteral("a&#13;\nb&#13;c\nd")
                               << QStringLiteral("a\r\nb\rc\nd");
    QTest::newRow("tab") << QStringLiteral("a\tb") << QStringLiteral("a&#9;b")
                         << QStringLiteral("a\tb");
    const QString controls =
        QStringLiteral("a") + QChar(1) + "b" + QChar(0x1F) + "c" + QChar(0) + "d";
    const QString replaced = "a" + fffd + "b" + fffd + "c" + fffd + "d";
    QTest::newRow("C0 controls") << controls << replaced << replaced;
    const QString nonChars = QString(QChar(0xFFFE)) + QChar(0xFFFF) + QChar(0xD800) + "x";
    QTest::newRow("non-characters")
        << nonChars << fffd + fffd + fffd + "x" << fffd + fffd + fffd + "x";
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("surrogate pair") << emoji << emoji << emoji;
}

void TestDevServer::xmlTextEscaping()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QFETCH(QString, parsed);
    QCOMPARE(XmlListWriter::escapeText(text), escaped);
    XmlListWriter writer(QStringLiteral("notes"));
    writer.beginItem();
    writer.addText(QStringLiteral("note"), text);
    writer.endItem();
    QString error;
    const auto list = items(writer.finish(), &error);
    QCOMPARE(error, QString());
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].value("note"), parsed);
}

void TestDevServer::xmlAttributeEscaping()
{
    const QString value = QStringLiteral("a\"b<&>\r\n\tc");
    QCOMPARE(XmlListWriter::escapeAttribute(value),
             QStringLiteral("a&quot;b&lt;&amp;&gt;&#13;&#10;&#9;c"));
    XmlListWriter writer(QStringLiteral("clients"));
    writer.beginItem();
    writer.addLinked(QStringLiteral("ClientID"), value, QStringLiteral("x"));
    writer.endItem();
    const auto list = items(writer.finish());
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].value("ClientID@value"), value);
}

void TestDevServer::phpJsonEncoding()
{
    const QString message =
        QStringLiteral("Zlé \"heslo\" / a\\b\n") + QString::fromUtf8("\xF0\x9F\x98\x80");
    const QByteArray json =
        PhpJson::object({{"success", 0}, {"PHPSESSID", QString()}, {"error_message", message}});
    QCOMPARE(
        json,
        QByteArray(
            R"({"success":0,"PHPSESSID":"","error_message":"Zl\u00e9 \"heslo\" \/ a\\b\n\ud83d\ude00"})"));
    QCOMPARE(QJsonDocument::fromJson(json)["error_message"].toString(), message);
}

void TestDevServer::adminOnlyForLoopbackPeers_data()
{
    QTest::addColumn<QString>("peer");
    QTest::addColumn<int>("status");
    QTest::newRow("127.0.0.1") << QStringLiteral("127.0.0.1") << 200;
    QTest::newRow("::1") << QStringLiteral("::1") << 200;
    QTest::newRow("LAN") << QStringLiteral("192.168.1.10") << 403;
    QTest::newRow("IPv6 global") << QStringLiteral("2001:db8::1") << 403;
}

void TestDevServer::adminOnlyForLoopbackPeers()
{
    QFETCH(QString, peer);
    QFETCH(int, status);
    FaultQueue faults;
    RequestLog log;
    SessionStore sessions(60);
    NotesDatabase database;
    AdminApi admin(faults, log, sessions, database);
    IncomingRequest request;
    request.method = "DELETE";
    request.path = QStringLiteral("/__admin/requests");
    request.peer = QHostAddress(peer);
    QCOMPARE(admin.handle(request).status, status);
}

// ---- login and sessions

void TestDevServer::login_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("demo") << QByteArray("login=demo&password=demo") << true;
    QTest::newRow("password with & + % = encoded")
        << "login=jana&password=" + enc("p&ss+w%rd=1") << true;
    QTest::newRow("password sent unencoded")
        << QByteArray("login=jana&password=p&ss+w%rd=1") << false;
    QTest::newRow("peter") << QByteArray("password=heslo123&login=peter") << true;
    QTest::newRow("wrong password") << QByteArray("login=demo&password=Demo") << false;
    QTest::newRow("unknown user") << QByteArray("login=nobody&password=demo") << false;
    QTest::newRow("no password") << QByteArray("login=demo") << false;
    QTest::newRow("empty body") << QByteArray() << false;
}

void TestDevServer::login()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);
    const Answer answer = post(m_server.port(), "login.php", body);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.header("Content-Type"), QByteArray("application/json"));
    const QJsonObject json = answer.json();
    QCOMPARE(json.keys(), QStringList({"PHPSESSID", "error_message", "success"}));
    QCOMPARE(json["success"].toInt(-1), accepted ? 1 : 0);
    QCOMPARE(json["error_message"].toString().isEmpty(), accepted);
    const QRegularExpression sessionId(accepted ? "^[0-9a-v]{26}$" : "^$");
    QVERIFY2(sessionId.match(json["PHPSESSID"].toString()).hasMatch(), answer.body);
}

void TestDevServer::missingOrUnknownSession_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("body");
    const QList<QByteArrayList> lists = {{"notes.php", "action=xml_notes"},
                                         {"client.php", "action=xml_clients"},
                                         {"project.php", "action=xml_projects"}};
    for (const QByteArrayList& list : lists) {
        QTest::addRow("%s without id", list[0].data()) << list[0] << list[1];
        QTest::addRow("%s empty id", list[0].data()) << list[0] << "PHPSESSID=&" + list[1];
        QTest::addRow("%s unknown id", list[0].data()) << list[0] << "PHPSESSID=abc&" + list[1];
    }
    QTest::newRow("edit without id")
        << QByteArray("notes.php")
        << QByteArray("action=edit_note&NoteID=1&note=x&ProjectID=0&ClientID=0");
}

void TestDevServer::missingOrUnknownSession()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, body);
    const Answer answer = post(m_server.port(), script, body);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(answer.json()["success"].toInt(-1), 0);
    QCOMPARE(answer.json()["error_code"].toInt(), 2);
}

void TestDevServer::expiredAndClearedSessions()
{
    const quint16 port = m_server.port();
    const QByteArray first = session(port);
    QCOMPARE(ids(post(port, "client.php", first + "action=xml_clients").body, "ClientID").size(),
             6);
    QVERIFY(m_server.expireSessions());
    QCOMPARE(post(port, "client.php", first + "action=xml_clients").json()["error_code"].toInt(),
             3);
    QCOMPARE(post(port, "notes.php", first + "action=xml_notes").json()["error_code"].toInt(), 3);
    const QByteArray second = session(port);
    QCOMPARE(ids(post(port, "client.php", second + "action=xml_clients").body, "ClientID").size(),
             6);
    QVERIFY(m_server.clearSessions());
    QCOMPARE(post(port, "client.php", second + "action=xml_clients").json()["error_code"].toInt(),
             2);
}

void TestDevServer::sessionLifetimeOption()
{
    TestServer server;
    QVERIFY(server.start(certificateArgs() + QStringList{"--session-lifetime", "1"}));
    QVERIFY(!QFileInfo::exists(QDir(server.dataDir()).filePath("cert.pem")));
    const QByteArray id = session(server.port());
    QVERIFY(id.size() > 11);
    QThread::msleep(1500);
    QCOMPARE(post(server.port(), "notes.php", id + "action=xml_notes").json()["error_code"].toInt(),
             3);
}

void TestDevServer::errorCodes_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::newRow("unknown action") << QByteArray("notes.php") << QByteArray("action=bogus") << 4;
    QTest::newRow("no action") << QByteArray("notes.php") << QByteArray("limit=1") << 4;
    QTest::newRow("action of another script")
        << QByteArray("client.php") << QByteArray("action=xml_projects") << 4;
    QTest::newRow("edit unknown note")
        << QByteArray("notes.php")
        << QByteArray("action=edit_note&NoteID=999999&note=x&ProjectID=0&ClientID=0") << 5;
    QTest::newRow("delete unknown note")
        << QByteArray("notes.php") << QByteArray("action=delete_note&NoteID=999999") << 5;
    QTest::newRow("delete non-numeric id")
        << QByteArray("notes.php") << QByteArray("action=delete_note&NoteID=abc") << 5;
    QTest::newRow("edit without note")
        << QByteArray("notes.php") << QByteArray("action=edit_note&NoteID=1&ProjectID=0&ClientID=0")
        << 1;
    QTest::newRow("edit without NoteID")
        << QByteArray("notes.php") << QByteArray("action=edit_note&note=x&ProjectID=0&ClientID=0")
        << 1;
    QTest::newRow("add without ClientID")
        << QByteArray("notes.php") << QByteArray("action=add_note&note=x&ProjectID=0") << 1;
    QTest::newRow("add with text ProjectID")
        << QByteArray("notes.php") << QByteArray("action=add_note&note=x&ProjectID=abc&ClientID=0")
        << 1;
    QTest::newRow("delete without NoteID")
        << QByteArray("notes.php") << QByteArray("action=delete_note") << 1;
}

void TestDevServer::errorCodes()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    const Answer answer = post(m_server.port(), script, session(m_server.port()) + body);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.header("Content-Type"), QByteArray("application/json"));
    const QJsonObject json = answer.json();
    QCOMPARE(json.keys(), QStringList({"error_code", "error_message", "success"}));
    QCOMPARE(json["success"].toInt(-1), 0);
    QCOMPARE(json["error_code"].toInt(), code);
    QVERIFY(!json["error_message"].toString().isEmpty());
}

void TestDevServer::httpErrors_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("status");
    QTest::newRow("prefix before /api/")
        << QByteArray("POST") << QByteArray("/notes/x/api/login.php") << 200;
    QTest::newRow("unknown script") << QByteArray("POST") << QByteArray("/api/unknown.php") << 404;
    QTest::newRow("no /api/") << QByteArray("POST") << QByteArray("/login.php") << 404;
    QTest::newRow("segment after /api/")
        << QByteArray("POST") << QByteArray("/api/x/login.php") << 404;
    QTest::newRow("GET") << QByteArray("GET") << QByteArray("/api/notes.php") << 405;
    QTest::newRow("PUT") << QByteArray("PUT") << QByteArray("/api/login.php") << 405;
    QTest::newRow("unknown admin call")
        << QByteArray("GET") << QByteArray("/__admin/nothing") << 404;
    QTest::newRow("admin call, wrong method")
        << QByteArray("GET") << QByteArray("/__admin/faults") << 405;
}

void TestDevServer::httpErrors()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(int, status);
    const Answer answer = request(m_server.port(), method, path, "login=demo&password=demo");
    QCOMPARE(answer.status, status);
    if (status == 200)
        QCOMPARE(answer.json()["success"].toInt(), 1);
}

// ---- lists (seeded data of m_server)

void TestDevServer::noteSearch_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QList<int>>("expected");
    const QList<int> all = {11, 10, 8, 7, 6, 5, 3, 2, 1, 9, 4};
    QTest::newRow("all, newest first") << QByteArray() << all;
    QTest::newRow("limit") << QByteArray("limit=3") << QList<int>{11, 10, 8};
    QTest::newRow("limit 0") << QByteArray("limit=0") << QList<int>{};
    QTest::newRow("invalid limit") << QByteArray("limit=abc") << all;
    QTest::newRow("empty keywords")
        << QByteArray("noteKeyword=&clientKeyword=&projectKeyword=") << all;
    QTest::newRow("note, case and diacritics")
        << "noteKeyword=" + enc("POZNÁMKA") << QList<int>{5, 4};
    QTest::newRow("note with limit") << QByteArray("noteKeyword=bez&limit=2") << QList<int>{8, 7};
    QTest::newRow("note with & < %") << "noteKeyword=" + enc("& podmienky: <50 %") << QList<int>{3};
    QTest::newRow("note with + =") << "noteKeyword=" + enc("+ doplatok =") << QList<int>{3};
    QTest::newRow("client") << "clientKeyword=" + enc("žilina") << QList<int>{11, 2, 1};
    QTest::newRow("project") << QByteArray("projectKeyword=OBCHVAT") << QList<int>{11, 6};
    QTest::newRow("client and project")
        << QByteArray("clientKeyword=alp&projectKeyword=roof") << QList<int>{3};
    QTest::newRow("no match") << QByteArray("clientKeyword=zzz") << QList<int>{};
}

void TestDevServer::noteSearch()
{
    QFETCH(QByteArray, query);
    QFETCH(QList<int>, expected);
    const Answer answer =
        post(m_server.port(), "notes.php", session(m_server.port()) + "action=xml_notes&" + query);
    QCOMPARE(answer.header("Content-Type"), QByteArray("text/xml; charset=utf-8"));
    QCOMPARE(ids(answer.body, "NoteID"), expected);
}

void TestDevServer::noteListExactXml_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("items");
    QTest::newRow("markup and links")
        << QStringLiteral("Cena & podm")
        << noteItemXml({"3", "Cena &amp; podmienky: &lt;50 % záloha&gt; + doplatok = 100 %",
                        "2018-01-15 10:00:00", "7", "Roof", "2", "Alpha"});
    QTest::newRow("no date") << QStringLiteral("Stará")
                             << noteItemXml({"4", "Stará poznámka bez dátumu",
                                             "0000-00-00 00:00:00", "3", "Kúpeľňa", "3",
                                             "Ďurčo &amp; syn"});
    QTest::newRow("no links") << QStringLiteral("bez klienta a")
                              << noteItemXml({"5", "Poznámka bez klienta a projektu",
                                              "2019-03-10 17:45:12", "0", "", "0", ""});
    QTest::newRow("lines and tab")
        << QStringLiteral("škridla")
        << noteItemXml({"2", "Nákup materiálu:\n- škridla\n- latky\n- klince",
                        "2017-05-05 08:30:00", "1", "Strecha", "1", "Stavby Žilina s.r.o."});
    QTest::newRow("nothing") << QStringLiteral("no such text") << QString();
}

void TestDevServer::noteListExactXml()
{
    QFETCH(QString, keyword);
    QFETCH(QString, items);
    const Answer answer =
        post(m_server.port(), "notes.php",
             session(m_server.port()) + "action=xml_notes&noteKeyword=" + enc(keyword));
    QCOMPARE(answer.status, 200);
    QCOMPARE(QString::fromUtf8(answer.body), XmlDeclaration + "<notes>\n" + items + "</notes>\n");
}

void TestDevServer::statusFilter_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("clients, active")
        << QByteArray("client.php") << QByteArray("StatusID=1") << QList<int>{2, 4, 6, 3, 1};
    QTest::newRow("clients, empty status")
        << QByteArray("client.php") << QByteArray("StatusID=") << QList<int>{2, 4, 6, 3, 1, 5};
    QTest::newRow("clients, no status")
        << QByteArray("client.php") << QByteArray() << QList<int>{2, 4, 6, 3, 1, 5};
    QTest::newRow("clients, status 0")
        << QByteArray("client.php") << QByteArray("StatusID=0") << QList<int>{5};
    QTest::newRow("clients, status 7")
        << QByteArray("client.php") << QByteArray("StatusID=7") << QList<int>{};
    QTest::newRow("clients, limit")
        << QByteArray("client.php") << QByteArray("StatusID=1&limit=2") << QList<int>{2, 4};
    QTest::newRow("projects, active")
        << QByteArray("project.php") << QByteArray("StatusID=1") << QList<int>{4, 3, 2, 7, 1};
    QTest::newRow("projects, all")
        << QByteArray("project.php") << QByteArray() << QList<int>{4, 3, 2, 7, 5, 1};
    QTest::newRow("projects, status 0")
        << QByteArray("project.php") << QByteArray("StatusID=0&limit=500") << QList<int>{5};
}

void TestDevServer::statusFilter()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, query);
    QFETCH(QList<int>, expected);
    const bool clients = script == "client.php";
    const QByteArray action = clients ? "action=xml_clients&" : "action=xml_projects&";
    const Answer answer = post(m_server.port(), script, session(m_server.port()) + action + query);
    QCOMPARE(answer.header("Content-Type"), QByteArray("text/xml; charset=utf-8"));
    QCOMPARE(ids(answer.body, clients ? "ClientID" : "ProjectID"), expected);
}

void TestDevServer::projectListExactXml()
{
    const Answer answer = post(m_server.port(), "project.php",
                               session(m_server.port()) + "action=xml_projects&StatusID=1&limit=1");
    QCOMPARE(
        QString::fromUtf8(answer.body),
        XmlDeclaration +
            "<projects>\n  <item>\n    <ProjectID>4</ProjectID>\n    <name>Fasáda "
            "&lt;nová&gt;</name>\n    <CatID value=\"1\">Budovy</CatID>\n  </item>\n</projects>\n");
}

// ---- writes (m_writable)

void TestDevServer::noteTextRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("listed");
    const QString mixed = QStringLiteral("a & b <c> \"d\" \r\n e\tf é + % =");
    QTest::newRow("markup, CRLF, tab, form characters") << mixed << mixed;
    QTest::newRow("spaces") << QStringLiteral("  two  spaces ") << QStringLiteral("  two  spaces ");
    QTest::newRow("all line ends")
        << QStringLiteral("a\nb\r\nc\rd\n") << QStringLiteral("a\nb\r\nc\rd\n");
    QTest::newRow("form syntax") << QStringLiteral("x=1&y=%20+z") << QStringLiteral("x=1&y=%20+z");
    QTest::newRow("diacritics") << QStringLiteral("Ďaľšia ťažká úloha Ôsmy")
                                << QStringLiteral("Ďaľšia ťažká úloha Ôsmy");
    QTest::newRow("control character")
        << QStringLiteral("bell\ahere") << QStringLiteral("bell\uFFFDhere");
}

void TestDevServer::noteTextRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, listed);
    const QByteArray id = session(m_writable.port());
    const Answer added = post(m_writable.port(), "notes.php",
                              id + "action=add_note&ProjectID=7&ClientID=2&note=" + enc(text));
    QCOMPARE(added.json()["success"].toInt(), 1);
    const qint64 noteId = added.json()["NoteID"].toInteger();
    QCOMPARE(storedNote(m_writable, noteId)["note"].toString(), text);

    const Answer list = post(m_writable.port(), "notes.php", id + "action=xml_notes&limit=1");
    QString error;
    const auto found = items(list.body, &error);
    QCOMPARE(error, QString());
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].value("NoteID").toLongLong(), noteId);
    QCOMPARE(found[0].value("note"), listed);
    QCOMPARE(found[0].value("ProjectID"), QStringLiteral("Roof"));
    QCOMPARE(found[0].value("ClientID@value"), QStringLiteral("2"));
    QVERIFY(
        QDateTime::fromString(found[0].value("datetime_create"), "yyyy-MM-dd HH:mm:ss").isValid());
}

void TestDevServer::editAndDelete()
{
    const quint16 port = m_writable.port();
    const QByteArray id = session(port);
    const Answer added =
        post(port, "notes.php", id + "action=add_note&note=draft&ProjectID=0&ClientID=0");
    const QByteArray noteId = QByteArray::number(added.json()["NoteID"].toInteger());
    const Answer edited = post(port, "notes.php",
                               id + "action=edit_note&NoteID=" + noteId +
                                   "&note=" + enc("final é") + "&ProjectID=3&ClientID=6");
    QCOMPARE(edited.body, QByteArray(R"({"success":1,"error_code":0,"error_message":""})"));
    const QJsonObject stored = storedNote(m_writable, noteId.toLongLong());
    QCOMPARE(stored["note"].toString(), QStringLiteral("final é"));
    QCOMPARE(stored["projectId"].toInteger(), 3);
    QCOMPARE(stored["clientId"].toInteger(), 6);
    const auto listed =
        items(post(port, "notes.php", id + "action=xml_notes&noteKeyword=final").body);
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].value("ClientID"), QStringLiteral("Čierny Peter"));
    QCOMPARE(listed[0].value("ProjectID"), QStringLiteral("Kúpeľňa"));

    const Answer deleted = post(port, "notes.php", id + "action=delete_note&NoteID=" + noteId);
    QCOMPARE(deleted.body, QByteArray(R"({"success":1,"error_code":0,"error_message":""})"));
    QVERIFY(storedNote(m_writable, noteId.toLongLong()).isEmpty());
    QCOMPARE(post(port, "notes.php", id + "action=delete_note&NoteID=" + noteId)
                 .json()["error_code"]
                 .toInt(),
             5);
}

void TestDevServer::persistenceAcrossRestart()
{
    const QByteArray oldSession = session(m_writable.port());
    const Answer added =
        post(m_writable.port(), "notes.php",
             oldSession + "action=add_note&ProjectID=1&ClientID=1&note=" + enc("kept ž\r\n"));
    QCOMPARE(added.json()["success"].toInt(), 1);
    const QJsonArray before = m_writable.notes();
    QVERIFY(before.size() > 11);
    QVERIFY(m_writable.start(m_writable.dataDir(), certificateArgs()));
    QCOMPARE(m_writable.notes(), before);
    QCOMPARE(post(m_writable.port(), "notes.php", oldSession + "action=xml_notes")
                 .json()["error_code"]
                 .toInt(),
             2);
    const auto listed = items(post(m_writable.port(), "notes.php",
                                   session(m_writable.port()) + "action=xml_notes&noteKeyword=kept")
                                  .body);
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].value("note"), QStringLiteral("kept ž\r\n"));
}

// ---- injected faults

void TestDevServer::faultAnswers_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType"); // "-" for no header at all
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("status, type, body")
        << QJsonObject{{"status", 500}, {"contentType", "text/html"}, {"body", "<p>down</p>"}}
        << 500 << QByteArray("text/html") << QByteArray("<p>down</p>");
    QTest::newRow("no contentType key") << QJsonObject{{"body", "{\"success\":1}"}} << 200
                                        << QByteArray("-") << QByteArray("{\"success\":1}");
    QTest::newRow("null contentType")
        << QJsonObject{{"contentType", QJsonValue::Null}, {"body", "é"}} << 200 << QByteArray("-")
        << QByteArray("é");
    QTest::newRow("broken XML") << QJsonObject{{"contentType", "text/xml; charset=utf-8"},
                                               {"body", "<notes><item>"}}
                                << 200 << QByteArray("text/xml; charset=utf-8")
                                << QByteArray("<notes><item>");
    QTest::newRow("defaults") << QJsonObject{} << 200 << QByteArray("-") << QByteArray();
    QTest::newRow("delayed") << QJsonObject{{"delayMs", 150},
                                            {"status", 302},
                                            {"contentType", "text/plain"},
                                            {"body", "late"}}
                             << 302 << QByteArray("text/plain") << QByteArray("late");
}

void TestDevServer::faultAnswers()
{
    QFETCH(QJsonObject, fault);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    const QByteArray id = session(m_server.port());
    fault["match"] = QJsonObject{{"script", "notes.php"}, {"action", "xml_notes"}};
    QVERIFY(m_server.injectFault(fault));
    const Answer faulted = post(m_server.port(), "notes.php", id + "action=xml_notes");
    QCOMPARE(faulted.status, status);
    QCOMPARE(faulted.hasHeader("Content-Type") ? faulted.header("Content-Type") : QByteArray("-"),
             contentType);
    QCOMPARE(faulted.body, body);
    const Answer normal = post(m_server.port(), "notes.php", id + "action=xml_notes");
    QCOMPARE(ids(normal.body, "NoteID").size(), 11);
}

void TestDevServer::faultCountAndMatch()
{
    const quint16 port = m_server.port();
    const QByteArray id = session(port);
    const QByteArray edit = id + "action=edit_note&note=x&ProjectID=0&ClientID=0&NoteID=";
    QVERIFY(
        m_server.injectFault({{"match", QJsonObject{{"action", "edit_note"}, {"NoteID", "999999"}}},
                              {"count", 2},
                              {"status", 503}}));
    QCOMPARE(post(port, "notes.php", id + "action=xml_notes").status, 200);
    QCOMPARE(post(port, "notes.php", edit + "999998").json()["error_code"].toInt(), 5);
    QCOMPARE(post(port, "notes.php", edit + "999999").status, 503);
    QCOMPARE(post(port, "notes.php", edit + "999999").status, 503);
    QCOMPARE(post(port, "notes.php", edit + "999999").json()["error_code"].toInt(), 5);

    QVERIFY(m_server.injectFault(
        {{"match", QJsonObject{{"script", "login.php"}}}, {"count", -1}, {"status", 500}}));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(post(port, "login.php", "login=demo&password=demo").status, 500);
    QCOMPARE(post(port, "client.php", id + "action=xml_clients").status, 200);
    QVERIFY(m_server.clearFaults());
    QCOMPARE(post(port, "login.php", "login=demo&password=demo").json()["success"].toInt(), 1);
}

void TestDevServer::faultDrop_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::newRow("at once") << 0;
    QTest::newRow("after a delay") << 100;
}

void TestDevServer::faultDrop()
{
    QFETCH(int, delayMs);
    QVERIFY(m_server.clearRequests());
    QVERIFY(m_server.injectFault(
        {{"drop", true}, {"delayMs", delayMs}, {"status", 500}, {"body", "x"}}));
    const auto socket = connectTo(m_server.port());
    send(*socket, "POST", "/api/login.php", "login=demo&password=demo");
    const Answer dropped = readAnswer(*socket);
    QCOMPARE(dropped.status, 0);
    QCOMPARE(socket->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(m_server.requestBodies(), QList<QByteArray>{"login=demo&password=demo"});
    QCOMPARE(post(m_server.port(), "login.php", "login=demo&password=demo").status, 200);
}

void TestDevServer::faultDelayDoesNotBlock()
{
    QVERIFY(m_server.clearRequests());
    QVERIFY(m_server.injectFault(
        {{"match", QJsonObject{{"script", "client.php"}}}, {"delayMs", 600000}}));
    const auto waiting = connectTo(m_server.port());
    send(*waiting, "POST", "/api/client.php", "action=xml_clients");
    const QDeadlineTimer deadline(20000);
    while (m_server.requests().isEmpty() && !deadline.hasExpired())
        QThread::msleep(20);
    QCOMPARE(m_server.requests().size(), 1);
    QCOMPARE(
        post(m_server.port(), "login.php", "login=demo&password=demo").json()["success"].toInt(),
        1);
    QVERIFY(!waiting->waitForReadyRead(0));
    QCOMPARE(waiting->bytesAvailable(), 0);
    waiting->abort();
}

void TestDevServer::faultPassThroughProcessesAfterDelay()
{
    QVERIFY(m_server.clearRequests());
    const QByteArray id = session(m_server.port());
    QVERIFY(m_server.injectFault({{"match", QJsonObject{{"action", "xml_clients"}}},
                                  {"delayMs", 3000},
                                  {"passThrough", true},
                                  {"status", 500}}));
    const auto waiting = connectTo(m_server.port());
    send(*waiting, "POST", "/api/client.php", id + "action=xml_clients");
    const QDeadlineTimer deadline(20000);
    while (m_server.requestBodies("xml_clients").isEmpty() && !deadline.hasExpired())
        QThread::msleep(20);
    QVERIFY(m_server.clearSessions()); // the session was valid when the request arrived
    const Answer answer = readAnswer(*waiting);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.json()["error_code"].toInt(), 2);

    QVERIFY(m_server.injectFault({{"delayMs", 10}, {"passThrough", true}}));
    const QByteArray fresh = session(m_server.port());
    QCOMPARE(ids(post(m_server.port(), "client.php", fresh + "action=xml_clients").body, "ClientID")
                 .size(),
             6);
}

void TestDevServer::invalidFaultRejected()
{
    QVERIFY(!m_server.injectFault({{"status", 42}}));
    QVERIFY(!m_server.injectFault({{"count", 0}}));
    QVERIFY(!m_server.injectFault({{"delayMs", -5}}));
    QCOMPARE(request(m_server.port(), "POST", "/__admin/faults", "[1]").status, 400);
    QCOMPARE(post(m_server.port(), "login.php", "login=demo&password=demo").status, 200);
}

// ---- records, log and TLS

void TestDevServer::requestLogKeepsRawBody()
{
    const quint16 port = m_server.port();
    QVERIFY(m_server.clearRequests());
    const QByteArray body = "login=demo&password=demo&x.y=a%2Bb+c%26d%zz&=&&q";
    request(port, "POST", "/prefix/api/login.php", body, "Cookie: a=b\r\nCookie: c=d\r\n");
    post(port, "notes.php", "PHPSESSID=nope&action=xml_notes&noteKeyword=%C3%A9");
    const QJsonArray log = m_server.requests();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0]["path"].toString(), QStringLiteral("/prefix/api/login.php"));
    QCOMPARE(log[0]["script"].toString(), QStringLiteral("login.php"));
    QCOMPARE(log[0]["action"].toString(), QString());
    QCOMPARE(log[0]["body"].toString().toUtf8(), body);
    QCOMPARE(log[0]["contentType"].toString(), QStringLiteral("application/x-www-form-urlencoded"));
    QCOMPARE(log[0]["cookie"].toString(), QStringLiteral("a=b; c=d"));
    QCOMPARE(log[1]["action"].toString(), QStringLiteral("xml_notes"));
    QCOMPARE(log[1]["cookie"].toString(), QString());
    QCOMPARE(m_server.requestBodies("xml_notes"),
             QList<QByteArray>{"PHPSESSID=nope&action=xml_notes&noteKeyword=%C3%A9"});
    QVERIFY(m_server.clearRequests());
    QCOMPARE(m_server.requests(), QJsonArray());
}

void TestDevServer::serverLogHasNoSecrets()
{
    post(m_server.port(), "login.php", "login=jana&password=" + enc("p&ss+w%rd=1"));
    post(m_server.port(), "notes.php", session(m_server.port()) + "action=xml_notes&limit=1");
    const QByteArray log = m_server.serverLog();
    QVERIFY2(log.contains("POST /api/login.php 200\n"), log.right(300));
    QVERIFY(log.contains("POST /api/notes.php action=xml_notes 200\n"));
    QVERIFY(!log.contains("password") && !log.contains("p%26ss") && !log.contains("PHPSESSID"));
}

void TestDevServer::certificateFitsLoopbackNames_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("localhost") << QStringLiteral("localhost");
    QTest::newRow("IPv4") << QStringLiteral("127.0.0.1");
    QTest::newRow("IPv6") << QStringLiteral("[::1]");
}

void TestDevServer::certificateFitsLoopbackNames()
{
    QFETCH(QString, host);
    QNetworkAccessManager manager;
    QNetworkRequest request(
        QUrl(QStringLiteral("https://%1:%2/n/api/login.php").arg(host).arg(m_server.port())));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    QNetworkReply* reply = manager.post(request, "login=peter&password=heslo123");
    QList<QSslError::SslError> errors;
    connect(reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError>& list) {
        for (const QSslError& error : list)
            errors.append(error.error());
        reply->ignoreSslErrors();
    });
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(20000));
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(errors, QList<QSslError::SslError>{QSslError::SelfSignedCertificate});
    QCOMPARE(QJsonDocument::fromJson(reply->readAll())["success"].toInt(), 1);
    delete reply;
}

void TestDevServer::certificateFiles()
{
    const QDir dir(m_server.dataDir());
    const QFileInfo key(dir.filePath("key.pem"));
    QCOMPARE(key.permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(dir.filePath("cert.pem"));
    QCOMPARE(certificates.size(), 1);
    const auto names = certificates[0].subjectAlternativeNames();
    QCOMPARE(names.values(QSsl::DnsEntry), QStringList{"localhost"});
    QCOMPARE(names.values(QSsl::IpAddressEntry).size(), 2);
    QVERIFY(names.values(QSsl::IpAddressEntry).contains("127.0.0.1"));
}
QTEST_MAIN(TestDevServer)
#include "tst_devserver.moc"
