// Trust on first use against the substitute server over real TLS: which certificate is pinned,
// what a changed key costs (nothing sent, one line), and how the preferences trust a new key.

#include "MemberCenter.h"
#include "NetworkTransport.h"
#include "ServerKeyView.h"
#include "ServerTrust.h"
#include "SettingsStore.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSslConfiguration>
#include <QTest>

class TrustTest : public QObject
{
    Q_OBJECT

    TestServer server;
    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<ServerTrust> trust;
    std::unique_ptr<NetworkTransport> transport;

    // The fingerprint of a test certificate as openssl computed it at build time.
    static QString keyOf(const char* certName)
    {
        QFile spki(QStringLiteral(NOTES_TEST_CERT_DIR "/%1.spki").arg(QLatin1String(certName)));
        return spki.open(QIODevice::ReadOnly)
                   ? QStringLiteral("SHA256:") +
                         QString::fromLatin1(spki.readAll().trimmed()).remove(QLatin1Char('='))
                   : QString();
    }

    QByteArray settingsFile() const
    {
        // The store writes on a worker once the current event is done.
        (void)QTest::qWaitFor([] { return !SettingsStore::shared().isWriting(); });
        QFile file(settings->filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool login(const QString& host)
    {
        settings->save(host, "demo", "demo");
        MemberCenter session(SettingsStore::shared(), *transport);
        std::optional<bool> accepted;
        session.actionLogin([&accepted](bool ok) { accepted = ok; });
        (void)QTest::qWaitFor([&] { return accepted.has_value(); }, 20000);
        return accepted.value_or(false);
    }

private slots:
    void init()
    {
        settings = std::make_unique<TestSettings>();
        transport.reset(); // its thread judges handshakes by the trust records
        trust = std::make_unique<ServerTrust>(SettingsStore::shared());
        transport = std::make_unique<NetworkTransport>(*trust);
        QVERIFY(server.restartWith("cert"));
    }

    void changedKeyIsRefusedUntilTheUserTrustsIt()
    {
        const QString host = server.host();
        const QString server1 = QStringLiteral("localhost:%1").arg(server.port());
        QVERIFY(login(host));
        QVERIFY(settingsFile().contains(keyOf("cert").toLatin1()));

        QVERIFY(server.restartWith("other-cert"));
        PrintedLines printed;
        QVERIFY(!login(host));
        QCOMPARE(server.requests().size(), 0);
        const QString refusal = QStringLiteral("refused %1: it presents the key %2, not the "
                                               "trusted key %3; nothing was sent")
                                    .arg(server1, keyOf("other-cert"), keyOf("cert"));
        QCOMPARE(printed.lines().filter(QStringLiteral("refused")), QStringList{refusal});

        ServerKeyView view(*trust);
        QVERIFY(!view.isHidden());
        const QString shown = view.descriptionLabel()->text();
        QVERIFY(shown.contains(keyOf("cert")) && shown.contains(keyOf("other-cert")));
        view.trustButton()->click();
        QVERIFY(view.isHidden());
        QVERIFY(settingsFile().contains(keyOf("other-cert").toLatin1()));
        QVERIFY(!settingsFile().contains(keyOf("cert").toLatin1()));
        QVERIFY(login(host));
        QCOMPARE(server.requests().size(), 1);

        // Another name for the same server is a server of its own, pinned at its first login;
        // the first keeps its record when the user switches back.
        QVERIFY(server.restartWith("cert"));
        QVERIFY(login(QStringLiteral("127.0.0.1:%1").arg(server.port())));
        QVERIFY(!login(host));
        QCOMPARE(server.requests().size(), 1);
    }

    // Connections opened ahead of the requests are judged like a request's: a changed key is
    // refused at their handshake, with both keys named, and nothing reaches the server.
    void connectionsOpenedAheadAreJudgedToo()
    {
        QVERIFY(login(server.host()));
        QVERIFY(server.restartWith("other-cert"));
        transport->openConnections(
            QUrl(QStringLiteral("https://%1/api/login.php").arg(server.host())), 3);
        QVERIFY(QTest::qWaitFor([this] { return trust->refusal().has_value(); }, 10000));
        QCOMPARE(trust->refusal()->presentedKey, keyOf("other-cert"));
        QCOMPARE(trust->refusal()->trusted.key, keyOf("cert"));
        QCOMPARE(server.requests().size(), 0);
    }

    // The test CA stands for the system CAs: a certificate it signed verifies normally.
    void certificateTheSystemCasVerifyNeedsNoPin()
    {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(QStringLiteral(NOTES_TEST_CA_CERT));
        QSslConfiguration::setDefaultConfiguration(tls);
        QVERIFY(login(server.host())); // first use: pinned
        QVERIFY(server.restartWith("ca-signed-cert"));
        PrintedLines printed;
        QVERIFY(login(server.host()));
        QCOMPARE(printed.diagnosed().filter(QStringLiteral("system CAs verify")).size(), 1);
        QVERIFY(login(server.host()));
        QCOMPARE(printed.diagnosed().filter(QStringLiteral("system CAs verify")).size(), 1);
        QVERIFY(settingsFile().contains("record=CA"));

        QVERIFY(server.restartWith("cert"));
        QVERIFY(!login(server.host()));
        QCOMPARE(server.requests().size(), 0);
        QCOMPARE(printed.lines().last(),
                 QStringLiteral("refused localhost:%1: the system CAs do not verify its "
                                "certificate, with the key %2; they verified the key %3; nothing "
                                "was sent")
                     .arg(QString::number(server.port()), keyOf("cert"), keyOf("ca-signed-cert")));
    }
};

QTEST_MAIN(TrustTest)
#include "tst_trust.moc"
