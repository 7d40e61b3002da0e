// The settings store: defaults, persistence, and the owner-only file that holds the password.

#include "AppDelegate.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    QString fileIn(const QTemporaryDir& dir) const
    {
        return dir.filePath(QStringLiteral("notes-client/notes-client.conf"));
    }

private slots:
    void firstRunGivesTheDefaults()
    {
        QTemporaryDir dir;
        SettingsStore::setSharedFilePath(fileIn(dir));
        AppDelegate::appSettings();
        SettingsStore& store = SettingsStore::shared();
        for (const char* key : {SettingsStore::Host, SettingsStore::Path, SettingsStore::Login,
                                SettingsStore::Password, SettingsStore::SessionId}) {
            const QVariant value = store.valueForKey(QLatin1String(key));
            QCOMPARE(value.typeId(), QMetaType::QString);
            QCOMPARE(value.toString(), QString());
        }
        const QVariant loggedIn = store.valueForKey(QLatin1String(SettingsStore::IsLoggedIn));
        QCOMPARE(loggedIn.typeId(), QMetaType::Bool);
        QCOMPARE(loggedIn.toBool(), false);
        QVERIFY(!store.valueForKey(QStringLiteral("unknown")).isValid());
    }

    void defaultsAreNeverWritten()
    {
        QTemporaryDir dir;
        SettingsStore::setSharedFilePath(fileIn(dir));
        AppDelegate::appSettings();
        SettingsStore::shared().synchronize();
        QSettings file(fileIn(dir), QSettings::IniFormat);
        QCOMPARE(file.allKeys(), QStringList());
    }

    void storedValueSurvivesRegistrationAndRestart()
    {
        QTemporaryDir dir;
        {
            SettingsStore store(fileIn(dir));
            store.setObject(QStringLiteral("notes.example.sk"), QLatin1String(SettingsStore::Host));
            store.setBool(true, QLatin1String(SettingsStore::IsLoggedIn));
            store.synchronize();
        }
        SettingsStore::setSharedFilePath(fileIn(dir));
        AppDelegate::appSettings();
        SettingsStore& store = SettingsStore::shared();
        QCOMPARE(store.stringForKey(QLatin1String(SettingsStore::Host)),
                 QStringLiteral("notes.example.sk"));
        QCOMPARE(store.boolForKey(QLatin1String(SettingsStore::IsLoggedIn)), true);
        QCOMPARE(store.stringForKey(QLatin1String(SettingsStore::Login)), QString());
    }

    void textIsKeptExactly()
    {
        QTemporaryDir dir;
        const QString awkward = QStringLiteral(" p&ss+w%rd=1 \"quoted\" ; # é\\ ");
        {
            SettingsStore store(fileIn(dir));
            store.setObject(awkward, QLatin1String(SettingsStore::Password));
            store.synchronize();
        }
        SettingsStore store(fileIn(dir));
        QCOMPARE(store.stringForKey(QLatin1String(SettingsStore::Password)), awkward);
    }

    void laterRegistrationOverridesEarlier()
    {
        QTemporaryDir dir;
        SettingsStore store(fileIn(dir));
        store.registerDefaults({{QStringLiteral("a"), 1}, {QStringLiteral("b"), 2}});
        store.registerDefaults({{QStringLiteral("b"), 3}});
        QCOMPARE(store.valueForKey(QStringLiteral("a")).toInt(), 1);
        QCOMPARE(store.valueForKey(QStringLiteral("b")).toInt(), 3);
        store.setObject(QStringLiteral("stored"), QStringLiteral("b"));
        store.registerDefaults({{QStringLiteral("b"), 4}});
        QCOMPARE(store.stringForKey(QStringLiteral("b")), QStringLiteral("stored"));
    }

    void fileAndFolderAreOwnerOnly()
    {
        QTemporaryDir dir;
        SettingsStore store(fileIn(dir));
        store.setObject(QStringLiteral("secret"), QLatin1String(SettingsStore::Password));
        store.synchronize();
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        const QFileInfo file(fileIn(dir));
        QVERIFY(file.exists());
        QCOMPARE(file.permissions() & others, QFile::Permissions());
        QCOMPARE(QFileInfo(file.absolutePath()).permissions() & others, QFile::Permissions());
    }

    void aReadableOldFileIsTightenedOnWrite()
    {
        QTemporaryDir dir;
        QDir().mkpath(QFileInfo(fileIn(dir)).absolutePath());
        QFile old(fileIn(dir));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("[General]\nhost=old.example.sk\n");
        old.close();
        old.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                           QFile::ReadOther);
        SettingsStore store(fileIn(dir));
        QCOMPARE(store.stringForKey(QLatin1String(SettingsStore::Host)),
                 QStringLiteral("old.example.sk"));
        store.setObject(QStringLiteral("new"), QLatin1String(SettingsStore::Password));
        store.synchronize();
        QCOMPARE(QFileInfo(fileIn(dir)).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        QCOMPARE(store.stringForKey(QLatin1String(SettingsStore::Host)),
                 QStringLiteral("old.example.sk"));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
