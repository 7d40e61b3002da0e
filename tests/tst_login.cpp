// Logging in over real HTTPS against the substitute server: what is printed, what the instance
// and the settings store hold afterwards, and which certificates are accepted.

#include "SettingsStore.h"
#include "ApiTransport.h"
#include "MemberCenter.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTest>

namespace {
struct LoginResult
{
    int calls = 0;
    bool accepted = false;
};

SettingsStore& store()
{
    return SettingsStore::shared();
}

void storeSession(bool loggedIn, const QString& id)
{
    store().setBool(loggedIn, QLatin1String(SettingsStore::IsLoggedIn));
    store().setObject(id, QLatin1String(SettingsStore::SessionId));
    store().synchronize();
}

QString storedSessionId()
{
    return store().stringForKey(QLatin1String(SettingsStore::SessionId));
}

bool storedLoggedIn()
{
    return store().boolForKey(QLatin1String(SettingsStore::IsLoggedIn));
}
} // namespace

class LoginTest : public QObject
{
    Q_OBJECT

    TestServer server;
    std::unique_ptr<TestSettings> settings;

    QString loginUrl(const QString& host) const
    {
        return QStringLiteral("https://%1/api/login.php").arg(host);
    }

    // Logs in and waits for the completion.
    LoginResult login(MemberCenter& center)
    {
        LoginResult result;
        center.actionLogin(nullptr, [&result](bool accepted) {
            ++result.calls;
            result.accepted = accepted;
        });
        [&result] { QTRY_COMPARE_WITH_TIMEOUT(result.calls, 1, 20000); }();
        QTest::qWait(50); // a second call of the completion would show here
        return result;
    }

private slots:
    void initTestCase() { QVERIFY(server.start()); }

    void init()
    {
        settings = std::make_unique<TestSettings>();
        settings->save(server.host(), QStringLiteral("demo"), QStringLiteral("demo"));
        server.clearFaults();
        server.clearRequests();
    }

    void checkSettings_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("line");
        QTest::newRow("complete") << "h"
                                  << "l"
                                  << "p" << QString();
        QTest::newRow("blanks count as filled") << " "
                                                << " "
                                                << " " << QString();
        QTest::newRow("host and login empty") << ""
                                              << ""
                                              << "p"
                                              << "Enter the server name in Preferences.";
        QTest::newRow("password empty") << "h"
                                        << "l"
                                        << ""
                                        << "Enter your login and password in Preferences.";
        QTest::newRow("login empty") << "h"
                                     << ""
                                     << "p"
                                     << "Enter your login and password in Preferences.";
    }

    void checkSettings()
    {
        QFETCH(QString, host);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, line);
        storeSession(true, QStringLiteral("kept"));
        MemberCenter center;
        center.host = host;
        center.login = login;
        center.password = password;
        PrintedLines printed;
        QCOMPARE(center.checkSettings(), line.isEmpty());
        if (line.isEmpty()) {
            QCOMPARE(printed.lines(), QStringList());
            QCOMPARE(center.PHPSESSID, QStringLiteral("kept"));
            QCOMPARE(storedSessionId(), QStringLiteral("kept"));
            QVERIFY(storedLoggedIn());
        } else {
            QCOMPARE(printed.lines(), QStringList{line});
            QCOMPARE(center.PHPSESSID, QString());
            QVERIFY(!center.isLoggedIn);
            QCOMPARE(storedSessionId(), QString());
            QVERIFY(!storedLoggedIn());
        }
    }

    void acceptedLogin()
    {
        MemberCenter center;
        PrintedLines printed;
        const LoginResult result = login(center);
        QCOMPARE(result.calls, 1);
        QVERIFY(result.accepted);
        QVERIFY(center.isLoggedIn);
        QVERIFY(!center.PHPSESSID.isEmpty());
        QCOMPARE(storedSessionId(), center.PHPSESSID);
        QVERIFY(storedLoggedIn());
        QCOMPARE(printed.lines(), (QStringList{loginUrl(server.host()),
                                               QStringLiteral("login=demo&password=********")}));
        const QJsonArray requests = server.requests();
        QCOMPARE(requests.size(), 1);
        const QJsonObject request = requests.first().toObject();
        QCOMPARE(request.value("body").toString(), QStringLiteral("login=demo&password=demo"));
        QCOMPARE(request.value("contentType").toString(),
                 QStringLiteral("application/x-www-form-urlencoded"));
        QCOMPARE(request.value("cookie").toString(), QString());
    }

    void passwordWithFormCharactersIsAcceptedAndMasked()
    {
        settings->save(server.host(), QStringLiteral("jana"), QStringLiteral("p&ss+w%rd=1"));
        MemberCenter center;
        PrintedLines printed;
        QVERIFY(login(center).accepted);
        QCOMPARE(server.requestBodies().value(0),
                 QByteArray("login=jana&password=p%26ss%2Bw%25rd%3D1"));
        QCOMPARE(printed.lines().value(1), QStringLiteral("login=jana&password=********"));
        for (const QString& line : printed.lines())
            QVERIFY(!line.contains(QStringLiteral("p&ss")));
    }

    void refusedLoginClearsTheSession()
    {
        storeSession(true, QStringLiteral("old"));
        MemberCenter center;
        QVERIFY(center.isLoggedIn);
        QVERIFY(server.injectAnswer(
            {{"script", "login.php"}},
            R"({"success":0,"PHPSESSID":"abc","error_message":"Nesprávne heslo"})"));
        PrintedLines printed;
        const LoginResult result = login(center);
        QVERIFY(!result.accepted);
        QCOMPARE(printed.lines().mid(2), QStringList{QStringLiteral("Nesprávne heslo")});
        QVERIFY(!center.isLoggedIn);
        QCOMPARE(center.PHPSESSID, QString());
        QVERIFY(!storedLoggedIn());
        QCOMPARE(storedSessionId(), QString());
    }

    void unusableAnswersChangeNothing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("printsALine");
        QTest::newRow("status 500")
            << 500 << QByteArray(R"({"success":1,"PHPSESSID":"new"})") << false;
        QTest::newRow("status 302") << 302 << QByteArray() << false;
        QTest::newRow("not json") << 200 << QByteArray("<html>oops</html>") << true;
        QTest::newRow("json array") << 200 << QByteArray("[1]") << true;
        QTest::newRow("success as text")
            << 200 << QByteArray(R"({"success":"1","PHPSESSID":"x"})") << true;
        QTest::newRow("fractional success")
            << 200 << QByteArray(R"({"success":1.5,"PHPSESSID":"x"})") << true;
        QTest::newRow("no session id") << 200 << QByteArray(R"({"success":1})") << true;
        QTest::newRow("session id as number")
            << 200 << QByteArray(R"({"success":1,"PHPSESSID":12})") << true;
        QTest::newRow("refusal without message")
            << 200 << QByteArray(R"({"success":0,"PHPSESSID":""})") << true;
    }

    void unusableAnswersChangeNothing()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, printsALine);
        storeSession(true, QStringLiteral("old"));
        MemberCenter center;
        QVERIFY(server.injectAnswer({{"script", "login.php"}}, body, "application/json", status));
        PrintedLines printed;
        QVERIFY(!login(center).accepted);
        const QStringList after = printed.lines().mid(2);
        QCOMPARE(after.size(), printsALine ? 1 : 0);
        if (printsALine)
            QVERIFY(after.first().startsWith(QStringLiteral("the login answer cannot be read: ")));
        QVERIFY(center.isLoggedIn);
        QCOMPARE(center.PHPSESSID, QStringLiteral("old"));
        QVERIFY(storedLoggedIn());
        QCOMPARE(storedSessionId(), QStringLiteral("old"));
    }

    void refusedConnectionIsPrinted()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 closedPort = probe.serverPort();
        probe.close();
        const QString host = QStringLiteral("localhost:%1").arg(closedPort);
        settings->save(host, QStringLiteral("demo"), QStringLiteral("demo"));
        storeSession(true, QStringLiteral("old"));
        MemberCenter center;
        PrintedLines printed;
        QVERIFY(!login(center).accepted);
        QCOMPARE(printed.lines().size(), 3);
        QVERIFY2(printed.lines().at(2).contains(QStringLiteral("refused"), Qt::CaseInsensitive),
                 qPrintable(printed.lines().at(2)));
        QCOMPARE(center.PHPSESSID, QStringLiteral("old"));
        QVERIFY(storedLoggedIn());
    }

    void secondLoginCancelsTheFirst()
    {
        QVERIFY(server.delayAnswer({{"script", "login.php"}}, 3000));
        MemberCenter center;
        PrintedLines printed;
        LoginResult first;
        center.actionLogin(nullptr, [&first](bool accepted) {
            ++first.calls;
            first.accepted = accepted;
        });
        QTest::qWait(200);
        const LoginResult second = login(center);
        QTRY_COMPARE(first.calls, 1);
        QVERIFY(!first.accepted);
        QVERIFY(second.accepted);
        QVERIFY(printed.contains(QStringLiteral("Operation canceled")));
        QVERIFY(center.isLoggedIn);
        QCOMPARE(storedSessionId(), center.PHPSESSID);
    }

    void timeOutIsReportedAsSuch()
    {
        ApiTransport::setTransferTimeout(500);
        QVERIFY(server.delayAnswer({{"script", "login.php"}}, 4000));
        MemberCenter center;
        PrintedLines printed;
        const LoginResult result = login(center);
        ApiTransport::setTransferTimeout(ApiTransport::DefaultTimeoutMs);
        QVERIFY(!result.accepted);
        QCOMPARE(printed.lines().mid(2), QStringList{QStringLiteral("The request timed out.")});
    }

    void invalidAddressSendsNothing()
    {
        settings->save(QStringLiteral("my host"), QStringLiteral("demo"), QStringLiteral("demo"));
        MemberCenter center;
        PrintedLines printed;
        QVERIFY(!login(center).accepted);
        QCOMPARE(printed.lines().size(), 3);
        QCOMPARE(printed.lines().at(2),
                 QStringLiteral("invalid server address, nothing was sent: ") +
                     loginUrl(QStringLiteral("my host")));
        QCOMPARE(server.requests().size(), 0);
    }

    void anotherHostGetsNormalVerification()
    {
        // The saved host names the server as localhost; reaching it as 127.0.0.1 must fail the
        // certificate check, since the user never named that host.
        MemberCenter center;
        center.host = QStringLiteral("127.0.0.1:%1").arg(server.port());
        PrintedLines printed;
        QVERIFY(!login(center).accepted);
        QCOMPARE(printed.lines().size(), 3);
        QVERIFY(!center.isLoggedIn);
        QCOMPARE(server.requests().size(), 0);
    }

    void hostChangedSinceCompositionGetsNormalVerification()
    {
        MemberCenter trusted;
        QVERIFY(login(trusted).accepted); // a trusted connection to the server now exists
        MemberCenter center;              // still holds the server's host
        store().setObject(QStringLiteral("other.example.sk"), QLatin1String(SettingsStore::Host));
        store().synchronize();
        server.clearRequests();
        PrintedLines printed;
        QVERIFY(!login(center).accepted);
        QCOMPARE(printed.lines().size(), 3);
        QCOMPARE(server.requests().size(), 0);
    }
};

QTEST_GUILESS_MAIN(LoginTest)
#include "tst_login.moc"
