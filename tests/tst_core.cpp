// The settings store (defaults, persistence, the owner-only file that holds the password) and the
// reachability check (the default-route decision over captured kernel tables, the offline notice).

#include "AppDelegate.h"
#include "Engine.h"
#include "Localization.h"
#include "SettingsStore.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"

#include <QSettings>
#include <QTest>

#include <sys/stat.h>

namespace {
// The permission bits of a file or folder, in octal; "0" when it is missing.
QString modeOf(const QString& path)
{
    struct stat info = {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return QString::number(info.st_mode & 0777, 8);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a store reads from a copy of the file: stores of one file share a cache, a copy does not.
QString readBack(const QString& path, const char* key)
{
    QFile::remove(path + ".copy");
    QFile::copy(path, path + ".copy");
    return SettingsStore(path + ".copy").stringForKey(key);
}

// Routing table lines as the kernel prints them.
const QByteArray V4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const QByteArray V4Default = "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4Lan = "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
const QByteArray V4DefaultLo = "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4Reject = "eth0\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray Zero(32, '0');
// dest, prefix length, source and its length, next hop, then metric, refcnt, use, flags, iface.
QByteArray v6(const QByteArray& dest, const char* length, const QByteArray& hop, const char* rest)
{
    return dest + ' ' + length + ' ' + Zero + " 00 " + hop + ' ' + rest + '\n';
}
const QByteArray V6Default = v6(Zero, "00", "fd000000000000000000000000000001",
                                "00000400 00000002 00000000 00000003     eth0");
const QByteArray V6LoReject = v6(Zero, "00", Zero, "ffffffff 00000001 00000000 00200200       lo");
// Lines that look almost like default routes: short, binary, not hex, a field too short.
const QByteArray Malformed = "garbage\n\n \t \neth0 00000000 010200C0 0003\n\xff\xfe\x01 binary\n"
                             "eth0 0000000G 010200C0 0003 0 0 0 00000000 0 0 0\n" +
                             v6(Zero, "0", Zero, "00000400 00000002 00000000 00000003 eth0");

// lo and eth0 as /sys/class/net/<name>/{flags,operstate} report them, eth0 as given. Any other
// name is up, so that a line misread as a default route would count.
RouteTable::InterfaceLookup interfaces(quint32 eth0Flags = 0x1003, const char* eth0State = "up")
{
    const QMap<QString, RouteTable::InterfaceState> known{{"lo", {0x9, "unknown"}},
                                                          {"eth0", {eth0Flags, eth0State}}};
    return [known](const QString& name) { return known.value(name, {0x1003, "up"}); };
}
} // namespace

class CoreTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAreAnsweredButNeverStored()
    {
        const TestSettings settings; // registers the program's defaults over a fresh file
        SettingsStore& store = SettingsStore::shared();
        for (const char* key : {"host", "path", "login", "password", "PHPSESSID"})
            QCOMPARE(store.valueForKey(key), QVariant(QString()));
        QCOMPARE(store.valueForKey("ISLOGGEDIN"), QVariant(false));
        QCOMPARE(QSettings(settings.filePath(), QSettings::IniFormat).allKeys(), QStringList());
        store.registerDefaults({{"host", "first"}, {"path", "/first"}});
        store.registerDefaults({{"host", "second"}});
        QCOMPARE(store.stringForKey("host") + store.stringForKey("path"), "second/first");
        store.setObject("stored", "host");
        QVERIFY(store.synchronize());
        AppDelegate::appSettings(); // registers the defaults again, as every start does
        QCOMPARE(store.stringForKey("host"), "stored");
        QCOMPARE(readBack(settings.filePath(), "host"), "stored");
    }

    void passwordIsStoredExactlyAndPrivately_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("older"); // over a file an older version left open to everyone
        QTest::newRow("spaces") << QStringLiteral("  two  spaces ") << false;
        QTest::newRow("form characters") << QStringLiteral("p&ss+w%rd=1&a=b") << true;
        QTest::newRow("line breaks") << QStringLiteral("line 1\nline 2\r\n") << false;
        QTest::newRow("slovak") << QStringLiteral("Žltý kôň úpel ďábelské ódy") << true;
        QTest::newRow("file syntax") << QStringLiteral("\"quoted\" ; # [General] \\ , ") << false;
    }

    void passwordIsStoredExactlyAndPrivately()
    {
        QFETCH(QString, text);
        QFETCH(bool, older);
        const QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("notes-client"));
        const QString path = folder + QStringLiteral("/notes-client.conf");
        if (older) {
            QSettings(path, QSettings::IniFormat).setValue("host", "old");
            QVERIFY(QFile::setPermissions(path, QFile::Permissions(0x6666)));   // rw-rw-rw-
            QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7755))); // rwxr-xr-x
        }
        SettingsStore store(path);
        store.setObject(text, "password");
        QVERIFY(!readFile(path).contains("password")); // not written yet, and already private
        QCOMPARE(modeOf(path) + ' ' + modeOf(folder), "600 700");
        QVERIFY(store.synchronize());
        QCOMPARE(modeOf(path) + ' ' + modeOf(folder), "600 700");
        QCOMPARE(readBack(path, "password"), text);
        QCOMPARE(readBack(path, "host"), older ? "old" : "");
    }

    void defaultRoute_data()
    {
        QTest::addColumn<QByteArray>("ipv4");
        QTest::addColumn<QByteArray>("ipv6");
        QTest::addColumn<RouteTable::InterfaceLookup>("lookup");
        QTest::addColumn<bool>("connected");
        const auto row = [](const char* name, const QByteArray& ipv4, const QByteArray& ipv6,
                            bool connected, const RouteTable::InterfaceLookup& lookup) {
            QTest::newRow(name) << ipv4 << ipv6 << lookup << connected;
        };
        const QByteArray h = V4Header;
        const QByteArray d = h + V4Lan + V4Default;
        row("header only", h, {}, false, interfaces());
        row("default on eth0", d, V6LoReject, true, interfaces());
        row("default on lo", h + V4DefaultLo, V6LoReject, false, interfaces());
        row("interface without carrier", d, V6Default, false, interfaces(0x1003, "down"));
        row("state unknown, flags up", d, {}, true, interfaces(0x1003, "unknown"));
        row("state unknown, flags down", d, {}, false, interfaces(0x1002, "unknown"));
        row("state unreadable", d, {}, true, interfaces(0x1003, ""));
        row("interface flagged loopback", d, {}, false, interfaces(0x9, "unknown"));
        row("not up", h + QByteArray(V4Default).replace("0003", "0002"), {}, false, interfaces());
        row("reject default on an interface that is up", h + V4Reject, {}, false, interfaces());
        row("ipv6 reject", h, QByteArray(V6LoReject).replace("00200200       lo", "00200201 eth0"),
            false, interfaces());
        row("malformed lines only", Malformed, Malformed, false, interfaces());
        row("malformed around ipv6 default", Malformed, Malformed + V6Default, true, interfaces());
    }

    void defaultRoute()
    {
        QFETCH(QByteArray, ipv4);
        QFETCH(QByteArray, ipv6);
        QFETCH(RouteTable::InterfaceLookup, lookup);
        QFETCH(bool, connected);
        const Engine engine({[ipv4] { return ipv4; }, [ipv6] { return ipv6; }, lookup});
        QCOMPARE(engine.connectedToNetwork(), connected);
    }

    // Nothing is cached: each question reads the tables anew.
    void offlineNoticeFollowsTheTables()
    {
        QVERIFY(Localization::install(QLocale(QLocale::English)));
        QByteArray ipv4 = V4Header + V4Default;
        const Engine engine({[&ipv4] { return ipv4; }, [] { return QByteArray(); }, interfaces()});
        const PrintedLines printed;
        QVERIFY(engine.warnIfOffline());
        ipv4 = V4Header + V4Lan;
        QVERIFY(!engine.warnIfOffline());
        QCOMPARE(
            printed.lines(),
            QStringList({"A network connection is required. Check that this computer is online.",
                         "network connection unavailable"}));
        ipv4 += V4Default;
        QVERIFY(engine.warnIfOffline());
        QCOMPARE(printed.lines().size(), 2); // nothing printed while online
    }

    void systemTablesAgreeWithTheKernelFiles()
    {
        const Engine::TableReader system = Engine::systemTables();
        const QByteArray ipv4 = readFile(QStringLiteral("/proc/net/route"));
        const QByteArray ipv6 = readFile(QStringLiteral("/proc/net/ipv6_route"));
        QVERIFY(ipv4.startsWith("Iface\tDestination\tGateway"));
        QCOMPARE(system.ipv4Routes(), ipv4);
        QCOMPARE(system.ipv6Routes(), ipv6);
        QVERIFY(system.interfaceState(QStringLiteral("lo")).flags & 0x8); // IFF_LOOPBACK
        for (const char* name : {"no-such-if0", "..", "../net/lo", ""})
            QCOMPARE(system.interfaceState(QLatin1String(name)).flags, 0u);
        QCOMPARE(Engine().connectedToNetwork(),
                 RouteTable::hasDefaultRoute(ipv4, ipv6, system.interfaceState));
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
