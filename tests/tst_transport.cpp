// The network transport against the substitute server over real HTTPS: what reaches the server,
// how each kind of answer ends, and which certificates are accepted.

#include "CommandRequest.h"
#include "ListRequest.h"
#include "MemberCenter.h"
#include "NetworkTransport.h"
#include "ServerTrust.h"
#include "SettingsStore.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using Outcome = ApiRequest::Outcome;

class TransportTest : public QObject
{
    Q_OBJECT

    TestServer server;
    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<ServerTrust> trust;
    std::unique_ptr<NetworkTransport> transport;

    std::unique_ptr<ListRequest> listFrom(const QString& host)
    {
        auto request = std::make_unique<ListRequest>(
            QStringLiteral("https://%1/api/notes.php").arg(host), "PHPSESSID=&action=xml_notes");
        request->start(*transport);
        // Callers compare the outcome, which fails them if it is still pending.
        (void)QTest::qWaitFor([&] { return !request->isPending(); }, 20000);
        return request;
    }

private slots:
    void initTestCase() { QVERIFY(server.start()); }

    void init()
    {
        (settings = std::make_unique<TestSettings>())->save(server.host(), "jana", "p&ss+w%rd=1");
        transport.reset(); // its thread judges handshakes by the trust records
        trust = std::make_unique<ServerTrust>(SettingsStore::shared());
        transport = std::make_unique<NetworkTransport>(*trust);
        QVERIFY(server.clearFaults() && server.clearRequests());
    }

    void loginReachesTheServerAsTyped()
    {
        MemberCenter session(SettingsStore::shared(), *transport);
        QSignalSpy busy(transport.get(), &NetworkTransport::busyChanged);
        std::optional<bool> accepted;
        session.actionLogin([&accepted](bool ok) { accepted = ok; });
        WAIT_FOR(accepted.has_value());
        QVERIFY(*accepted && session.isLoggedIn() && !session.PHPSESSID().isEmpty());
        QCOMPARE(server.requests().size(), 1);
        const QJsonObject sent = server.requests().first().toObject();
        QCOMPARE(sent.value("body").toString(),
                 QStringLiteral("login=jana&password=p%26ss%2Bw%25rd%3D1"));
        QCOMPARE(sent.value("contentType").toString(),
                 QStringLiteral("application/x-www-form-urlencoded"));
        QCOMPARE(sent.value("cookie").toString(), QString());
        WAIT_FOR(busy.size() == 2);
        QCOMPARE(busy, (QList<QVariantList>{{true}, {false}}));
    }

    // The exchange runs on the transport's own thread: the request reaches the server, through
    // a handshake with a certificate the records decide, while the main thread runs no event
    // loop (as while it builds or paints the window). Its answer waits for the main thread.
    void requestsGoOutWhileTheMainThreadIsBusy()
    {
        auto request = std::make_unique<ListRequest>(
            QStringLiteral("https://%1/api/notes.php").arg(server.host()),
            "PHPSESSID=&action=xml_notes");
        request->start(*transport);
        QElapsedTimer busy;
        busy.start();
        bool arrived = false;
        while (!arrived && busy.elapsed() < 20000)
            arrived = server.requestBodies().contains("PHPSESSID=&action=xml_notes");
        QVERIFY(arrived);
        QVERIFY(request->isPending());
        WAIT_FOR(!request->isPending());
        QCOMPARE(request->httpStatus(), 200);
    }

    void answersEndInTheirOutcome_data()
    {
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("XML list") << QJsonObject{{"contentType", "text/xml; charset=utf-8"},
                                                 {"body", "<notes/>"}}
                                  << int(Outcome::Succeeded) << 200 << QString();
        QTest::newRow("refusal") << QJsonObject{} << int(Outcome::Refused) << 200
                                 << QStringLiteral("Nie ste prihlásený.");
        QTest::newRow("500 with an XML body")
            << QJsonObject{{"status", 500}, {"contentType", "text/xml"}, {"body", "<notes/>"}}
            << int(Outcome::HttpStatus) << 500 << QString();
        QTest::newRow("302") << QJsonObject{{"status", 302}, {"body", ""}}
                             << int(Outcome::HttpStatus) << 302 << QString();
        QTest::newRow("401") << QJsonObject{{"status", 401}, {"body", "{}"}}
                             << int(Outcome::HttpStatus) << 401 << QString();
        QTest::newRow("time-out") << QJsonObject{{"delayMs", 3000}, {"passThrough", true}}
                                  << int(Outcome::TransportFailed) << 0
                                  << QStringLiteral("The request timed out.");
        QTest::newRow("trickled past the deadline")
            << QJsonObject{{"trickleBytesPerSecond", 40}, {"passThrough", true}}
            << int(Outcome::TransportFailed) << -1 // the head may or may not be in by then
            << QStringLiteral("No complete answer within 0.7 seconds.");
        QTest::newRow("larger than the cap")
            << QJsonObject{{"contentType", "text/xml"}, {"body", "<a/>"}, {"oversizeBytes", 400000}}
            << int(Outcome::TransportFailed) << 200
            << QStringLiteral("The answer is larger than 100000 bytes.");
        QTest::newRow("gzip") << QJsonObject{{"contentType", "text/xml"},
                                             {"body", "<notes/>"},
                                             {"gzip", true}}
                              << int(Outcome::Succeeded) << 200 << QString();
        QTest::newRow("gzip bomb")
            << QJsonObject{{"contentType", "text/xml"}, {"gzipBombBytes", 20000000}}
            << int(Outcome::TransportFailed) << 200 << QStringLiteral("*");
    }

    void answersEndInTheirOutcome()
    {
        QFETCH(QJsonObject, fault);
        QFETCH(int, outcome);
        QFETCH(int, status);
        QFETCH(QString, message);
        transport->setTransferTimeout(1000);
        // A trickle keeps the idle time-out from firing; only the deadline ends it.
        transport->setRequestDeadline(fault.contains("trickleBytesPerSecond") ? 700 : 20000);
        transport->setMaxAnswerBytes(100000);
        fault.insert("match", QJsonObject{{"script", "notes.php"}});
        if (fault.size() > 1)
            QVERIFY(server.injectFault(fault));
        const auto request = listFrom(server.host());
        QCOMPARE(int(request->outcome()), outcome);
        if (status >= 0)
            QCOMPARE(request->httpStatus(), status);
        if (message != QLatin1String("*"))
            QCOMPARE(request->errorMessage(), message);
    }

    // An answer is read as it comes: a long one of many TLS records, one packed by gzip (its
    // announced length is not what it unpacks to) and ones that trickle in small pieces arrive
    // whole, byte for byte, at the cap exactly, and are refused one byte over it, where only the
    // bytes counted over all the pieces tell.
    void largeAnswersArriveWhole_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("gzip");
        QTest::addColumn<int>("bytesPerSecond");
        QTest::newRow("long") << 900000 << false << 0;
        QTest::newRow("gzip") << 900000 << true << 0;
        QTest::newRow("trickled") << 20000 << false << 400000;
        QTest::newRow("trickled, gzip") << 60000 << true << 100000;
    }

    void largeAnswersArriveWhole()
    {
        QFETCH(int, size);
        QFETCH(bool, gzip);
        QFETCH(int, bytesPerSecond);
        QByteArray xml = "<notes>";
        for (int i = 0; xml.size() < size; ++i)
            xml += "<note><NoteID>" + QByteArray::number(i) +
                   "</NoteID><text>&#13;\xc5\xbe\xc2\xa0" + QByteArray::number(i * 7919 % 100003) +
                   "</text></note>\n";
        xml += "</notes>";
        const QJsonObject fault{{"match", QJsonObject{{"script", "notes.php"}}},
                                {"contentType", "text/xml"},
                                {"bodyBase64", QString::fromLatin1(xml.toBase64())},
                                {"gzip", gzip},
                                {"trickleBytesPerSecond", bytesPerSecond}};
        transport->setMaxAnswerBytes(xml.size());
        QVERIFY(server.injectFault(fault));
        const auto request = listFrom(server.host());
        QCOMPARE(request->outcome(), Outcome::Succeeded);
        QCOMPARE(request->xml().size(), xml.size());
        QVERIFY(request->xml() == xml);

        transport->setMaxAnswerBytes(xml.size() - 1);
        QVERIFY(server.injectFault(fault));
        QCOMPARE(listFrom(server.host())->errorMessage(),
                 QStringLiteral("The answer is larger than %1 bytes.").arg(xml.size() - 1));
    }

    // Qt sends a request once more when the connection closes before any answer, so every
    // attempt is dropped; where localhost resolves to ::1 first, Qt 6.4 waits for the time-out
    // instead of reporting the closed connection. Either way the request fails in transport.
    void droppedAndRefusedConnectionsFailInTransport()
    {
        transport->setTransferTimeout(1500);
        QVERIFY(server.injectFault(QJsonObject{{"drop", true}, {"count", -1}}));
        const auto dropped = listFrom(server.host());
        QVERIFY(server.clearFaults());
        QCOMPARE(dropped->outcome(), Outcome::TransportFailed);
        QVERIFY(!dropped->errorMessage().isEmpty());

        // A command is sent once: Qt may not repeat it on a new connection. (Over IPv4, where
        // Qt 6.4 sees the closed connection and would send a request again.)
        QVERIFY(server.injectFault(QJsonObject{{"drop", true}, {"count", -1}}));
        const QString ipv4 = QStringLiteral("127.0.0.1:%1").arg(server.port());
        settings->save(ipv4, "jana", "x");
        const auto once = std::make_unique<CommandRequest>(
            ServerAddress::compose(ipv4, {}, "notes.php"), "action=add_note", "-");
        once->start(*transport);
        WAIT_FOR(!once->isPending());
        QVERIFY(server.clearFaults());
        QCOMPARE(server.requestBodies("add_note").size(), 1);
        QVERIFY(once->outcome() == Outcome::TransportFailed && once->mayHaveReachedServer());

        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString closed = QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        const auto refused = listFrom(closed);
        QCOMPARE(refused->outcome(), Outcome::TransportFailed);
        QVERIFY2(refused->errorMessage().contains(QStringLiteral("refused"), Qt::CaseInsensitive),
                 qPrintable(refused->errorMessage()));
    }

    // The certificate names localhost and is self-signed: it is accepted for the saved host only.
    void onlyTheSavedHostSkipsVerification()
    {
        const auto otherName = listFrom(QStringLiteral("127.0.0.1:%1").arg(server.port()));
        QCOMPARE(otherName->outcome(), Outcome::TransportFailed);
        QCOMPARE(server.requests().size(), 0);

        QCOMPARE(listFrom(server.host())->outcome(), Outcome::Refused); // no session yet
        QVERIFY(server.clearRequests());
        // A connection trusted under the old saved host is not reused once it changed.
        settings->save("other.example.sk", "jana", "x");
        QCOMPARE(listFrom(server.host())->outcome(), Outcome::TransportFailed);
        QCOMPARE(server.requests().size(), 0);
    }
};

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
