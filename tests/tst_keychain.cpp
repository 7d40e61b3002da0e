// The password in the desktop keychain, with the real components: the keychain path and the
// move of a password out of the settings file, the fallback where no keychain answers, and the
// cap on a keychain that stalls. support/tst_keychain.sh runs each case on a session bus of its
// own, never the user's.

#include "AppDelegate.h"
#include "Engine.h"
#include "KeychainAccess.h"
#include "Localization.h"
#include "MainWindow.h"
#include "MemberCenter.h"
#include "PasswordStore.h"
#include "PreferencesViewController.h"
#include "SettingsStore.h"
#include "support/FakeTransport.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

static const char Jana[] = "p&ss+w%rd=1"; // demo users of the substitute server
static const char Peter[] = "heslo123";

class KeychainTest : public QObject
{
    Q_OBJECT

    TestServer server;
    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<PrintedLines> printed;
    std::unique_ptr<AppDelegate> app;

    static QByteArray loginBody(const char* login, const char* password)
    {
        return "login=" + QByteArray(login) + "&password=" + QUrl::toPercentEncoding(password);
    }

    QByteArray settingsFile() const
    {
        QFile file(settings->filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString readKeychain()
    {
        KeychainAccess keychain;
        std::optional<QString> read;
        keychain.read([&read](KeychainAccess::Status status, const QString& password) {
            read = status == KeychainAccess::Status::Done ? password : QStringLiteral("<none>");
        });
        (void)QTest::qWaitFor([&] { return read.has_value(); }, 20000);
        return read.value_or(QStringLiteral("<no answer>"));
    }

    void saveAndConnect(const char* login, const char* password)
    {
        PreferencesViewController* preferences = app->mainWindow()->showPreferences();
        // Typed and clicked as a person can: once the password has been read and the login the
        // dialog starts has ended, the button is on.
        auto* button = preferences->findChild<QPushButton*>("saveAndConnectButton");
        (void)QTest::qWaitFor([button] { return button->isEnabled(); }, 20000);
        preferences->loginTextField()->setText(QLatin1String(login));
        preferences->passwordTextField()->setText(QLatin1String(password));
        button->click();
    }

private slots:
    void init()
    {
        settings = std::make_unique<TestSettings>();
        printed = std::make_unique<PrintedLines>();
        app = std::make_unique<AppDelegate>();
    }

    void cleanup()
    {
        app.reset();
        for (const QString& line : printed->all())
            QVERIFY2(!line.contains(Jana) && !line.contains(Peter), qPrintable(line));
    }

    void keychainHoldsThePassword()
    {
        QVERIFY(server.start());
        settings->save(server.host(), "jana", Jana); // left in the file by an earlier version
        app->applicationDidFinishLaunching();
        WAIT_FOR(printed->diagnosed().contains(PasswordStore::MovedLine));
        WAIT_FOR(server.requestBodies().contains(loginBody("jana", Jana)));
        // The move is said on standard error; standard output goes on with the fixed lines.
        WAIT_FOR(printed->lines().contains("logged in"));
        QStringList lines = printed->lines();
        lines.removeAll(Localization::text(Localization::NetworkConnectionRequired));
        lines.removeAll(QLatin1String(Engine::OfflineLine));
        QCOMPARE(lines.mid(0, 4),
                 (QStringList{"viewDidAppear", "https://" + server.host() + "/api/login.php",
                              "login=jana&password=********", "logged in"}));
        QVERIFY(!settingsFile().contains("password"));
        QCOMPARE(readKeychain(), Jana);

        saveAndConnect("peter", Peter);
        WAIT_FOR(server.requestBodies().contains(loginBody("peter", Peter)));
        QCOMPARE(readKeychain(), Peter);
        QVERIFY(!settingsFile().contains("password"));
        QCOMPARE(printed->diagnosed().count(PasswordStore::FallbackLine), 0);
    }

    void noKeychainKeepsThePasswordInTheFile()
    {
        QVERIFY(server.start());
        settings->save(server.host(), "jana", Jana);
        app->applicationDidFinishLaunching();
        WAIT_FOR(server.requestBodies().contains(loginBody("jana", Jana)));
        for (int saved = 1; saved <= 2; ++saved) {
            saveAndConnect("peter", Peter);
            WAIT_FOR(!app->mainWindow()->preferences()); // closed once the server accepted it
        }
        QVERIFY(server.requestBodies().count(loginBody("peter", Peter)) >= 2);
        QCOMPARE(printed->diagnosed().count(PasswordStore::FallbackLine), 1);
        QVERIFY(settingsFile().contains(QByteArray("password=") + Peter));
        QCOMPARE(QFile::permissions(settings->filePath()) & 0x7077, // owner, group, others
                 QFile::ReadOwner | QFile::WriteOwner);
    }

    // The login waits for the password until the cap, then takes the settings file's; the
    // preferences cannot save before.
    void stalledKeychainIsCapped()
    {
        settings->save(QStringLiteral("localhost:1"), "peter", Peter);
        FakeTransport transport;
        PasswordStore passwords(SettingsStore::shared(), PasswordStore::Backend::Keychain);
        passwords.startReading(200);
        MemberCenter session(SettingsStore::shared(), transport, passwords);
        PreferencesViewController preferences(transport, passwords);
        const auto* save = preferences.findChild<QPushButton*>("saveAndConnectButton");
        QVERIFY(!save->isEnabled());
        QVERIFY(session.checkSettings());
        session.actionLogin();
        QCOMPARE(transport.count(), 0);
        WAIT_FOR(transport.count() == 1);
        QCOMPARE(transport.at(0).body, loginBody("peter", Peter));
        QCOMPARE(printed->diagnosed().first(), QLatin1String(PasswordStore::StalledLine));
        QVERIFY(save->isEnabled());
        QCOMPARE(preferences.passwordTextField()->text(), QLatin1String(Peter));
    }
};

QTEST_MAIN(KeychainTest)
#include "tst_keychain.moc"
