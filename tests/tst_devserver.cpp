// What the client's tests do not reach: form decoding, XML escaping, search escaping, hooks,
// record.

#include "FormDecoder.h"
#include "XmlListWriter.h"
#include "support/TestServer.h"

#include <QJsonDocument>
#include <QSslSocket>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>

#include <optional>

using Fields = FormDecoder::Fields;

namespace {
constexpr int WaitMs = 20000;
const QByteArray Notes = "/api/notes.php";
const auto enc = [](const QString& text) { return QUrl::toPercentEncoding(text); };
const auto object = [](const char* json) { return QJsonDocument::fromJson(json).object(); };

// One answer as it arrived; status 0 when the connection closed before a complete answer.
struct Answer
{
    int status = 0;
    QByteArray head, body;

    QByteArray header(const QByteArray& name) const // "-" when absent
    {
        const qsizetype at = head.indexOf("\r\n" + name + ": ");
        return at < 0 ? "-" : head.mid(at + name.size() + 4).split('\r').constFirst();
    }
};

// A TLS connection that trusts nothing but the given certificates.
bool connectTrusting(QSslSocket& socket, const QString& host, quint16 port,
                     const QList<QSslCertificate>& trusted)
{
    QSslConfiguration configuration = socket.sslConfiguration();
    configuration.setCaCertificates(trusted);
    socket.setSslConfiguration(configuration);
    socket.connectToHostEncrypted(host, port);
    return socket.waitForEncrypted(WaitMs);
}

QList<int> noteIds(const QByteArray& xml) // in document order
{
    QList<int> ids;
    const QRegularExpression id(QStringLiteral("<NoteID>([0-9]+)</NoteID>"));
    for (const QRegularExpressionMatch& match : id.globalMatch(QString::fromUtf8(xml)))
        ids.append(match.captured(1).toInt());
    return ids;
}
} // namespace

class TestDevServer : public QObject
{
    Q_OBJECT

    TestServer m_server;
    QByteArray m_session; // "PHPSESSID=<id>&" of a login as demo

    // Posts a form with "Connection: close", trusting only the build's test certificate.
    // Nothing when no TLS connection came about.
    std::optional<Answer> post(const QByteArray& path, const QByteArray& body,
                               const QByteArray& headers = {})
    {
        QSslSocket socket;
        const auto trusted = QSslCertificate::fromPath(QStringLiteral(NOTES_TEST_CERT));
        if (!connectTrusting(socket, QStringLiteral("127.0.0.1"), m_server.port(), trusted))
            return std::nullopt;
        socket.write("POST " + path + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n" +
                     "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
        QByteArray raw;
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(WaitMs))
            raw += socket.readAll();
        raw += socket.readAll();
        const qsizetype end = raw.indexOf("\r\n\r\n");
        Answer answer{0, raw.left(end) + "\r\n", end < 0 ? "" : raw.mid(end + 4)};
        if (end > 0 && answer.body.size() == answer.header("Content-Length").toLongLong())
            answer.status = answer.head.split(' ').value(1).toInt();
        return answer;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_server.start(), "notes-devserver did not report its port");
        const auto login = post("/api/login.php", "login=demo&password=demo");
        QVERIFY(login);
        m_session =
            "PHPSESSID=" + QJsonDocument::fromJson(login->body)["PHPSESSID"].toString().toUtf8() +
            '&';
        QVERIFY(m_session.size() > 11);
    }

    void init() { QVERIFY(m_server.clearFaults() && m_server.clearRequests()); }

    void formDecoding_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Fields>("expected");
        const QString e = QStringLiteral("é");
        QTest::newRow("invalid % kept, UTF-8 in either case")
            << QByteArray("a=100%&b=%zz&c=%4&d=%%41&e=%C3%A9&f=%c3%a9")
            << Fields{{"a", "100%"}, {"b", "%zz"}, {"c", "%4"}, {"d", "%A"}, {"e", e}, {"f", e}};
        QTest::newRow("no =, empty pairs and keys, the last of a repeated key, line breaks")
            << QByteArray("flag&&=1&a=2&a=x%0D%0Ay%0A&") << Fields{{"flag", ""}, {"a", "x\r\ny\n"}};
        QTest::newRow("dot, space, encoding in keys")
            << QByteArray("a.b=1&c+d=2&e%20f=3&+g=4&n%61me=x")
            << Fields{{"a_b", "1"}, {"c_d", "2"}, {"e_f", "3"}, {"g", "4"}, {"name", "x"}};
    }

    void formDecoding()
    {
        QFETCH(QByteArray, body);
        QFETCH(Fields, expected);
        QCOMPARE(FormDecoder::decode(body), expected);
    }

    // Markup, "]]>" and line ends survive an XML parser, as element text and as a value
    // attribute; code units XML cannot carry (C0 controls, U+FFFE, U+FFFF, a lone surrogate)
    // become U+FFFD.
    void xmlEscapingRoundTrip()
    {
        const QString kept = QStringLiteral("a & b <c> \"d\" 'e' ]]>\r\nf\rg\nh\ti é 😀");
        const QString lost = QString(QChar(1)) + QChar(0x1B) + QChar(0) + QChar(0xFFFE) +
                             QChar(0xFFFF) + QChar(0xD800) + 'x';
        const QString r = QString(6, QChar::ReplacementCharacter) + 'x';
        QCOMPARE(XmlListWriter::escapeText(kept + lost),
                 "a &amp; b &lt;c&gt; \"d\" 'e' ]]&gt;&#13;\nf&#13;g\nh&#9;i é 😀" + r);
        QCOMPARE(XmlListWriter::escapeAttribute(kept + lost),
                 "a &amp; b &lt;c&gt; &quot;d&quot; 'e' ]]&gt;&#13;&#10;f&#13;g&#10;h&#9;i é 😀" +
                     r);
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

    void noteSearch_data()
    {
        QTest::addColumn<QByteArray>("form"); // what follows "action=xml_notes"
        QTest::addColumn<QList<int>>("found");
        QTest::newRow("no keyword, limit")
            << QByteArray("&noteKeyword=&limit=3") << QList{11, 10, 8};
        QTest::newRow("% stands for itself") << QByteArray("&noteKeyword=%25") << QList{3};
        QTest::newRow("_ stands for itself") << QByteArray("&noteKeyword=_") << QList<int>{};
    }

    void noteSearch()
    {
        QFETCH(QByteArray, form);
        QFETCH(QList<int>, found);
        const auto answer = post(Notes, m_session + "action=xml_notes" + form);
        QVERIFY(answer);
        QCOMPARE(noteIds(answer->body), found);
    }

    void faultAnswers_data()
    {
        // answer: status and Content-Type ("-": none), or "refused". Drops, delays, trickles,
        // oversized and gzip answers are met by the client's transport tests.
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("body");
        const auto row = [](const char* name, const char* fault, const char* answer,
                            const QByteArray& body = {}) {
            QTest::newRow(name) << QByteArray(fault) << QByteArray(answer) << body;
        };
        row("status, type, body",
            R"({"status":500,"contentType":"text/html","body":"<p>down</p>"})", "500 text/html",
            "<p>down</p>");
        row("no contentType", R"({"contentType":null,"body":"é"})", "200 -", "é");
        row("ESC, CR and NUL through body", "{\"body\":\"\\u001b[1m\\r\\n\\u0000.\"}", "200 -",
            QByteArray("\x1b[1m\r\n\0.", 8));
        row("any bytes through bodyBase64", R"({"bodyBase64":"//4AgA=="})", "200 -",
            QByteArray("\xff\xfe\0\x80", 4));
        for (const char* invalid :
             {"[1]", R"({"status":42})", R"({"oversizeBytes":1.5})",
              R"({"body":"","bodyBase64":""})", R"({"gzipBombBytes":9,"passThrough":true})"})
            row(invalid, invalid, "refused");
    }

    // The first matching request gets the fault's answer, no sooner than its delay and rate
    // allow; the next one gets the real answer. Invalid faults are refused with status 400.
    void faultAnswers()
    {
        QFETCH(QByteArray, fault);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, body);
        if (answer == "refused") {
            const auto refusal = post("/__admin/faults", fault);
            QVERIFY(refusal);
            QCOMPARE(refusal->status, 400);
            return;
        }
        QJsonObject hook = QJsonDocument::fromJson(fault).object();
        hook["match"] = QJsonObject{{"script", "notes.php"}, {"action", "xml_notes"}};
        QVERIFY(m_server.injectFault(hook));
        const auto faulty = post(Notes, m_session + "action=xml_notes");
        const auto real = post(Notes, m_session + "action=xml_notes");
        QVERIFY(faulty && real);
        QCOMPARE(noteIds(real->body), (QList<int>{11, 10, 8, 7, 6, 5, 3, 2, 1, 9, 4}));
        QCOMPARE(QByteArray::number(faulty->status) + ' ' + faulty->header("Content-Type"), answer);
        QCOMPARE(faulty->body, body);
    }

    // add_note answers the new note's id only when the options ask for it.
    void addNoteAnswersId()
    {
        QList<QByteArray> answers;
        for (const bool withId : {true, false}) {
            QVERIFY(m_server.setOptions({{"addNoteAnswersId", withId}}));
            const auto added =
                post(Notes, m_session + "action=add_note&note=x&ProjectID=0&ClientID=0");
            QVERIFY(added);
            answers.append(added->body);
        }
        const QJsonArray notes = m_server.notes(); // the seeded ones, then the two added
        QCOMPARE(notes.size(), 13);
        const QByteArray id = QByteArray::number(notes[11]["id"].toInteger());
        const QByteArray success = R"({"success":1,"error_code":0,"error_message":"")";
        QCOMPARE(answers,
                 (QList<QByteArray>{success + ",\"NoteID\":\"" + id + "\"}", success + '}'}));
        QVERIFY(!m_server.setOptions({{"addNoteAnswersId", 1}}) &&
                !m_server.setOptions({{"x", true}}));
    }

    // The record keeps each request as it came; standard error gets one line per request, with
    // no password or session id in it.
    void requestRecordAndLog()
    {
        const QByteArray body = "x.y=a%2Bb+c%26d%zz&=&&login=jana&password=" + enc("p&ss+w%rd=1");
        QVERIFY(post("/p/api/login.php", body, "Cookie: a=b\r\nCookie: c=d\r\n"));
        QVERIFY(post(Notes, "PHPSESSID=nope&action=xml_notes"));
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
};

QTEST_MAIN(TestDevServer)
#include "tst_devserver.moc"
