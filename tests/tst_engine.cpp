#include "Localization.h"
#include "Engine.h"
#include "RouteTable.h"
#include "support/PrintedLines.h"

#include <QMap>
#include <QTest>

namespace {
// Tables as the kernel prints them, captured from machines in the states the tests name.
const QByteArray V4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const QByteArray V4DefaultEth0 = "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4LanEth0 = "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
const QByteArray V4LoopbackNet = "lo\t0000007F\t00000000\t0001\t0\t0\t0\t000000FF\t0\t0\t0\n";
const QByteArray V4DefaultLo = "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4DefaultNotUp = "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4Unreachable = "*\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4RejectEth0 = "eth0\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray V4DefaultWlan0 = "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n";
const QByteArray V4DefaultTun0 = "tun0\t00000000\t00000000\t0001\t0\t0\t50\t00000000\t0\t0\t0\n";

// A line of /proc/net/ipv6_route from "::/0" to dest/length via hop; rest is metric, refcnt,
// use, flags and the interface.
QByteArray v6(const QByteArray& dest, const char* length, const QByteArray& hop, const char* rest)
{
    static const QByteArray any(32, '0');
    return dest + ' ' + length + ' ' + any + " 00 " + hop + ' ' + rest + '\n';
}
const QByteArray Zero(32, '0');
const QByteArray V6DefaultEth0 = v6(Zero, "00", "fd000000000000000000000000000001",
                                    "00000400 00000002 00000000 00000003     eth0");
const QByteArray V6LoReject = v6(Zero, "00", Zero, "ffffffff 00000001 00000000 00200200       lo");
const QByteArray V6LoopbackHost =
    v6(Zero.left(31) + '1', "80", Zero, "00000000 00000002 00000000 80200001       lo");
const QByteArray V6LinkLocalEth0 =
    v6("fe80" + Zero.left(28), "40", Zero, "00000100 00000002 00000000 00000001     eth0");
const QByteArray V6MulticastEth0 =
    v6("ff00" + Zero.left(28), "08", Zero, "00000100 00000003 00000000 00000001     eth0");

// Lines that look almost like default routes: short, non-hex, wrong widths, binary.
const QByteArray Garbage = "garbage\n\n  \t \n00000000\neth0 00000000 00000000 zz 0 0 0 00000000\n"
                           "eth0 00000000 010200C0 0003\n"
                           "eth0 0000000G 010200C0 0003 0 0 0 00000000 0 0 0\n"
                           "eth0 00000000 010200C0 0003 0 0 0 0000000 0 0 0\n"
                           "0000000000000000000000000000000 00 eth0\n" +
                           v6(Zero, "0", Zero, "00000400 00000002 00000000 00000003 eth0") +
                           v6(Zero, "00", Zero, "00000400 00000002 00000000 0000000x eth0") +
                           "\xff\xfe\x01 binary\n";

// Interfaces as /sys/class/net/<name>/{flags,operstate} reported them.
using Interfaces = QMap<QString, RouteTable::InterfaceState>;
const Interfaces AllUp = {{"lo", {0x9, "unknown"}},
                          {"eth0", {0x1003, "up"}},
                          {"wlan0", {0x1003, "up"}},
                          {"tun0", {0x10d1, "unknown"}}};

// Only lo and eth0, eth0 in the given state.
Interfaces eth0(quint32 flags, const QByteArray& operState)
{
    return {{"lo", {0x9, "unknown"}}, {"eth0", {flags, operState}}};
}

Engine::TableReader readerOf(const QByteArray* ipv4, const QByteArray* ipv6, Interfaces interfaces)
{
    return {[ipv4] { return *ipv4; }, [ipv6] { return *ipv6; },
            [interfaces](const QString& name) { return interfaces.value(name); }};
}
} // namespace

Q_DECLARE_METATYPE(Interfaces)

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(Localization::install(QLocale(QStringLiteral("en")))); }

    void defaultRouteDecision_data()
    {
        QTest::addColumn<QByteArray>("ipv4");
        QTest::addColumn<QByteArray>("ipv6");
        QTest::addColumn<Interfaces>("interfaces");
        QTest::addColumn<bool>("connected");
        const auto row = [](const char* name, const QByteArray& ipv4, const QByteArray& ipv6,
                            const Interfaces& interfaces, bool connected) {
            QTest::newRow(name) << ipv4 << ipv6 << interfaces << connected;
        };
        const QByteArray h = V4Header;
        const QByteArray d = h + V4DefaultEth0;
        const Interfaces eth0Down = eth0(0x1002, "down");
        row("no routes at all", {}, {}, AllUp, false);
        row("header only", h, {}, AllUp, false);
        row("default via gateway on eth0", h + V4DefaultEth0 + V4LanEth0, {}, AllUp, true);
        row("default further down the table", h + V4LanEth0 + V4DefaultWlan0, {}, AllUp, true);
        row("default via tunnel in state unknown", h + V4DefaultTun0, {}, AllUp, true);
        row("loopback routes only", h + V4LoopbackNet, V6LoopbackHost + V6LoReject, AllUp, false);
        row("default on lo", h + V4DefaultLo, {}, AllUp, false);
        row("default on interface that is down", d, {}, eth0Down, false);
        row("default on interface without carrier", d, V6DefaultEth0, eth0(0x1003, "down"), false);
        row("eth0 up, state read with its line end", d, {}, eth0(0x1003, "up\n"), true);
        row("eth0 up, state unreadable", d, {}, eth0(0x1003, ""), true);
        row("eth0 down, state unknown", d, {}, eth0(0x1090, "unknown"), false);
        row("eth0 up, lower layer down", d, {}, eth0(0x1003, "lowerlayerdown"), false);
        row("eth0 up, dormant", d, {}, eth0(0x1003, "dormant"), false);
        row("eth0 flagged as loopback", d, {}, eth0(0x9, "unknown"), false);
        row("default on vanished interface", h + V4DefaultWlan0, {}, eth0Down, false);
        row("default not marked up", h + V4DefaultNotUp, {}, AllUp, false);
        row("unreachable default", h + V4Unreachable, {}, AllUp, false);
        row("reject default on an interface that is up", h + V4RejectEth0, {}, AllUp, false);
        row("ipv6 default only", h, V6LinkLocalEth0 + V6DefaultEth0 + V6LoopbackHost, AllUp, true);
        row("ipv6 lo reject default only", h, V6LinkLocalEth0 + V6LoopbackHost + V6LoReject, AllUp,
            false);
        row("ipv6 default on interface that is down", h, V6DefaultEth0 + V6LoReject, eth0Down,
            false);
        row("non-default routes only", h + V4LanEth0 + V4LoopbackNet,
            V6LinkLocalEth0 + V6MulticastEth0, AllUp, false);
        row("garbage only", Garbage, Garbage, AllUp, false);
        row("garbage around a default route", h + Garbage + V4DefaultEth0 + Garbage, Garbage, AllUp,
            true);
        row("garbage around an ipv6 default route", Garbage, Garbage + V6DefaultEth0 + Garbage,
            AllUp, true);
    }

    void defaultRouteDecision()
    {
        QFETCH(QByteArray, ipv4);
        QFETCH(QByteArray, ipv6);
        QFETCH(Interfaces, interfaces);
        QFETCH(bool, connected);
        QCOMPARE(Engine(readerOf(&ipv4, &ipv6, interfaces)).connectedToNetwork(), connected);
    }

    // Nothing is cached: each question reads the tables anew, and only an offline answer prints
    // the translated notice.
    void checkNetworkFollowsTheTablesAndReportsOffline()
    {
        QByteArray ipv4 = V4Header + V4DefaultEth0;
        const QByteArray ipv6;
        const Engine engine(readerOf(&ipv4, &ipv6, AllUp));
        const PrintedLines printed;
        QVERIFY(engine.checkNetwork());
        QCOMPARE(printed.lines(), QStringList());

        ipv4 = V4Header + V4LanEth0;
        QVERIFY(!engine.connectedToNetwork());
        QVERIFY(!engine.checkNetwork());
        const QString notice = Localization::text(Localization::NetworkConnectionRequired);
        QVERIFY(notice != QLatin1String(Localization::NetworkConnectionRequired));
        QCOMPARE(printed.lines(), QStringList{notice});

        ipv4 += V4DefaultEth0;
        QVERIFY(engine.checkNetwork());
        QCOMPARE(printed.lines().size(), 1);
    }

    void systemTablesReadTheKernel()
    {
        const Engine::TableReader system = Engine::systemTables();
        QVERIFY(system.ipv4Routes().startsWith("Iface\tDestination\tGateway"));
        const RouteTable::InterfaceState loopback = system.interfaceState(QStringLiteral("lo"));
        QVERIFY(loopback.flags & 0x8);
        QVERIFY(!loopback.operState.isEmpty());
        for (const char* name : {"no-such-if0", "..", "../net/lo"})
            QCOMPARE(system.interfaceState(QLatin1String(name)).flags, 0u);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
