// The settings store and its owner-only file; the default-route decision and the offline notice.

#include "AppDelegate.h"
#include "Engine.h"
#include "Localization.h"
#include "SettingsStore.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
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

const QByteArray V4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const QByteArray V4Default = "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4Lan = "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
// An IPv6 line for ::/0 (dest, prefix length, source, next hop, metric, refcnt, use, flags, iface).
QByteArray v6(const char* length, const char* flags)
{
    const QByteArray zero(32, '0');
    return zero + ' ' + length + ' ' + zero + " 00 " + zero + " 0 0 0 " + flags + " eth0\n";
}
const QByteArray V6Default = v6("00", "00000003");
// Lines that look almost like default routes: short, binary, not hex, a field too short.
const QByteArray Malformed = v6("0", "00000003") +
                             "garbage\n\n \t \neth0 00000000 010200C0 0003\n"
                             "\xff\xfe\x01 binary\neth0 0000000G 010200C0 0003 0 0 0 00000000\n";

// lo, eth0 as given, and any other name up, so that a line misread as a default route counts.
RouteTable::InterfaceLookup interfaces(quint32 eth0Flags = 0x1003, const char* eth0State = "up")
{
    const QMap<QString, RouteTable::InterfaceState> known{{"lo", {0x9, "unknown"}},
                                                          {"eth0", {eth0Flags, eth0State}}};
    return [known](const QString& name) { return known.value(name, {0x1003, "up"}); };
}
const QStringList Offline{"A network connection is required. Check that this computer is online.",
                          "network connection unavailable"};
} // namespace

class CoreTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(Localization::install(QLocale(QLocale::English))); }

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
        store.setObject("stored", "host"); // the first write makes the folder and file private
        QCOMPARE(modeOf(settings.filePath()) + ' ' + modeOf(settings.folder() + "/config"),
                 "600 700");
        QVERIFY(store.synchronize());
        AppDelegate::appSettings(); // registers the defaults again, as every start does
        QCOMPARE(store.stringForKey("host"), "stored");
        QCOMPARE(readBack(settings.filePath(), "host"), "stored");
    }

    // Changes are answered at once and reach the file in the background, none lost to a write
    // under way; synchronize() waits for that write and leaves everything in the file.
    void changesReachTheFileOnAWorker()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes-client/notes-client.conf"));
        SettingsStore store(path);
        store.registerDefaults({{"password", "default"}});
        store.setObject("first", "host");
        store.setObject("x", "password");
        store.removeObjectForKey("password");
        store.setBool(true, "ISLOGGEDIN");
        QCOMPARE(store.stringForKey("host") + ' ' + store.stringForKey("password"),
                 "first default");
        QVERIFY(store.boolForKey("ISLOGGEDIN"));
        QVERIFY(!readFile(path).contains("host")); // nothing is written inside the change
        QCOMPARE(modeOf(path), "600");

        // A change while the worker writes waits for the next write.
        QVERIFY(QTest::qWaitFor([&] { return readFile(path).contains("host=first"); }));
        store.setObject("second", "host");
        store.setObject("jana", "login");
        QCOMPARE(store.stringForKey("host"), "second");
        QVERIFY(QTest::qWaitFor([&] { return !store.isWriting(); }));
        QCOMPARE(readBack(path, "host") + ' ' + readBack(path, "login"), "second jana");
        QVERIFY(!readFile(path).contains("password"));
        QCOMPARE(readBack(path, "ISLOGGEDIN"), "true");

        store.setObject("third", "host");
        QCoreApplication::processEvents(); // the worker has it now, or is about to
        store.setObject("peter", "login");
        QVERIFY(store.synchronize());
        QVERIFY(!store.isWriting());
        QCOMPARE(readBack(path, "host") + ' ' + readBack(path, "login"), "third peter");
        QCOMPARE(modeOf(path) + ' ' + modeOf(dir.filePath("notes-client")), "600 700");
    }

    // Over a file an older version left open to everyone.
    void passwordIsStoredExactlyAndPrivately()
    {
        const QString text = " p&ss+w%rd=1 \"q\" ; # [General] \\ , Žltý kôň\n2\r\n";
        const QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("notes-client"));
        const QString path = folder + QStringLiteral("/notes-client.conf");
        QSettings(path, QSettings::IniFormat).setValue("host", "old");
        QVERIFY(QFile::setPermissions(path, QFile::Permissions(0x6666)));   // rw-rw-rw-
        QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7755))); // rwxr-xr-x
        SettingsStore store(path);
        store.setObject(text, "password");
        QVERIFY(!readFile(path).contains("password")); // not written yet, and already private
        QCOMPARE(modeOf(path) + ' ' + modeOf(folder), "600 700");
        QVERIFY(store.synchronize());
        QCOMPARE(modeOf(path) + ' ' + modeOf(folder), "600 700");
        QCOMPARE(readBack(path, "password"), text);
        QCOMPARE(readBack(path, "host"), "old");
    }

    void defaultRoute_data()
    {
        QTest::addColumn<QByteArray>("ipv4");
        QTest::addColumn<QByteArray>("ipv6");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<RouteTable::InterfaceLookup>("lookup");
        const auto row = [](const char* name, const QByteArray& ipv4, const QByteArray& ipv6,
                            bool connected, quint32 flags = 0x1003, const char* state = "up") {
            QTest::newRow(name) << V4Header + ipv4 << ipv6 << connected << interfaces(flags, state);
        };
        const auto v4 = [](auto from, auto to) { return QByteArray(V4Default).replace(from, to); };
        const QByteArray d = V4Lan + V4Default;
        row("header and a network route", V4Lan, {}, false);
        row("default on eth0", d, {}, true);
        row("default on lo", v4("eth0", "lo"), {}, false);
        row("no carrier", d, V6Default, false, 0x1003, "down");
        row("state unknown, flags up", d, {}, true, 0x1003, "unknown");
        row("state unknown, flags down", d, {}, false, 0x1002, "unknown");
        row("state unreadable", d, {}, true, 0x1003, "");
        row("interface flagged loopback", d, {}, false, 0x9, "unknown");
        row("route not up", v4("0003", "0002"), {}, false);
        row("reject on an interface that is up", v4("0003", "0203"), {}, false);
        row("ipv6 reject on eth0", {}, v6("00", "00200201"), false);
        row("malformed lines only", Malformed, Malformed, false);
        row("malformed around ipv6 default", Malformed, Malformed + V6Default, true);
    }

    // Nothing is cached: each question reads the tables anew, and the notice follows them.
    void defaultRoute()
    {
        QFETCH(QByteArray, ipv4);
        QFETCH(QByteArray, ipv6);
        QFETCH(bool, connected);
        QFETCH(RouteTable::InterfaceLookup, lookup);
        const Engine engine({[&ipv4] { return ipv4; }, [&ipv6] { return ipv6; }, lookup});
        const PrintedLines printed;
        QCOMPARE(engine.warnIfOffline(), connected);
        ipv4 = ipv6 = QByteArray();
        QVERIFY(!engine.warnIfOffline());
        QCOMPARE(printed.lines(), connected ? Offline : Offline + Offline);
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
