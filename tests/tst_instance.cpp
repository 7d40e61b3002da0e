// One client per user: a second start hands over to the running one and ends, even where an
// earlier client crashed and left its lock and socket behind.

#include "AccountFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

class TestInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"CONFIG", "DATA", "CACHE", "RUNTIME"})
            env.insert(
                QStringLiteral("XDG_%1_HOME").arg(name).replace("RUNTIME_HOME", "RUNTIME_DIR"),
                home.filePath(QString::fromLatin1(name).toLower()));
        env.insert("HOME", home.path());
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.filePath("no-bus"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

private slots:
    void secondStartRaisesTheFirst()
    {
        const QString runtime = home.filePath("runtime");
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        {
            QSettings settings(home.filePath("config/notes-client/notes-client.conf"),
                               QSettings::IniFormat);
            settings.setValue("host", "127.0.0.1:1"); // nothing listens: the client goes offline
            settings.setValue("login", "demo");
            settings.setValue("password", "demo");
        }
        // Drafts the running client holds, and what a crashed client left behind.
        qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
        const QString drafts =
            AccountFiles::filePath(QStandardPaths::GenericDataLocation, "127.0.0.1:1", QString(),
                                   "demo", QStringLiteral("drafts-"), QStringLiteral(".json"));
        const QByteArray draftBytes =
            R"({"host":"127.0.0.1:1","path":"","login":"demo","drafts":[{"id":"7","text":"kept",)"
            R"("serverText":"old","changed":"2026-12-06T10:00:00"}]})";
        QFile file(drafts);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(draftBytes) > 0);
        file.close();
        QFile lock(runtime + "/notes-client.lock");
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("2147483646\nnotes-client\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        QFile(runtime + "/notes-client.socket").open(QIODevice::WriteOnly);

        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(NOTES_CLIENT_PATH, {});
        QVERIFY(QTest::qWaitFor([&] { return first.canReadLine(); }, 20000));
        QCOMPARE(first.readLine(), "viewDidAppear\n");

        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(NOTES_CLIENT_PATH, {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QVERIFY(QTest::qWaitFor(
            [&] {
                return first.readAllStandardError().contains("another start asked for the window");
            },
            10000));
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), draftBytes);
    }
};

QTEST_MAIN(TestInstance)
#include "tst_instance.moc"
