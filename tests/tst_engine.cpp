#include "app/Localization.h"
#include "net/Engine.h"
#include "net/RouteTable.h"
#include "support/PrintedLines.h"

#include <QMap>
#include <QTest>

namespace {
// Tables as the kernel prints them, captured from machines in the states the tests name.
const QByteArray Ipv4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const QByteArray Ipv4DefaultViaEth0 =
    "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray Ipv4LanOnEth0 = "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
const QByteArray Ipv4LoopbackNet = "lo\t0000007F\t00000000\t0001\t0\t0\t0\t000000FF\t0\t0\t0\n";
const QByteArray Ipv4DefaultOnLo = "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray Ipv4DefaultNotUp = "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray Ipv4UnreachableDefault =
    "*\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray Ipv4RejectDefaultOnEth0 =
    "eth0\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n";
const QByteArray Ipv4DefaultViaWlan0 =
    "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n";
const QByteArray Ipv4DefaultViaTun0 =
    "tun0\t00000000\t00000000\t0001\t0\t0\t50\t00000000\t0\t0\t0\n";

const QByteArray Ipv6DefaultViaEth0 =
    "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
    "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n";
const QByteArray Ipv6LoRejectDefault =
    "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200       lo\n";
const QByteArray Ipv6LoopbackHost =
    "00000000000000000000000000000001 80 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 00000000 00000002 00000000 80200001       lo\n";
const QByteArray Ipv6LinkLocalOnEth0 =
    "fe800000000000000000000000000000 40 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 00000100 00000002 00000000 00000001     eth0\n";
const QByteArray Ipv6MulticastOnEth0 =
    "ff000000000000000000000000000000 08 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 00000100 00000003 00000000 00000001     eth0\n";

const QByteArray Garbage =
    "garbage\n\n  \t \n00000000\neth0 00000000 00000000 zz 0 0 0 00000000\n"
    "eth0 00000000 010200C0 0003\n"
    "eth0 0000000G 010200C0 0003 0 0 0 00000000 0 0 0\n"
    "eth0 00000000 010200C0 0003 0 0 0 0000000 0 0 0\n"
    "0000000000000000000000000000000 00 eth0\n"
    "00000000000000000000000000000000 0 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 00000400 00000002 00000000 00000003 "
    "eth0\n"
    "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 00000400 00000002 00000000 0000000x "
    "eth0\n"
    "\xff\xfe\x01 binary\n";

// Interfaces as /sys/class/net/<name>/{flags,operstate} reported them.
using Interfaces = QMap<QString, RouteTable::InterfaceState>;

const Interfaces AllUp = {{QStringLiteral("lo"), {0x9, "unknown"}},
                          {QStringLiteral("eth0"), {0x1003, "up"}},
                          {QStringLiteral("wlan0"), {0x1003, "up"}},
                          {QStringLiteral("tun0"), {0x10d1, "unknown"}}};
const Interfaces Eth0Down = {{QStringLiteral("lo"), {0x9, "unknown"}},
                             {QStringLiteral("eth0"), {0x1002, "down"}}};
const Interfaces Eth0NoCarrier = {{QStringLiteral("lo"), {0x9, "unknown"}},
                                  {QStringLiteral("eth0"), {0x1003, "down"}}};

RouteTable::InterfaceLookup lookupIn(const Interfaces& interfaces)
{
    return [interfaces](const QString& name) { return interfaces.value(name); };
}

Engine::TableReader readerOf(const QByteArray* ipv4, const QByteArray* ipv6,
                             const Interfaces& interfaces)
{
    return {[ipv4] { return *ipv4; }, [ipv6] { return *ipv6; }, lookupIn(interfaces)};
}
} // namespace

Q_DECLARE_METATYPE(Interfaces)

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void defaultRouteDecision_data();
    void defaultRouteDecision();
    void interfaceUsability_data();
    void interfaceUsability();

    void checkNetworkReportsOnlyWhenOffline_data();
    void checkNetworkReportsOnlyWhenOffline();
    void everyQuestionReadsTheTablesAnew();
    void systemTablesReadTheKernel();
};

void TestEngine::initTestCase()
{
    QVERIFY(Localization::install(QLocale(QStringLiteral("en"))));
}

void TestEngine::defaultRouteDecision_data()
{
    QTest::addColumn<QByteArray>("ipv4");
    QTest::addColumn<QByteArray>("ipv6");
    QTest::addColumn<Interfaces>("interfaces");
    QTest::addColumn<bool>("connected");

    QTest::newRow("no routes at all") << QByteArray() << QByteArray() << AllUp << false;
    QTest::newRow("header only") << Ipv4Header << QByteArray() << AllUp << false;
    QTest::newRow("default via gateway on eth0")
        << Ipv4Header + Ipv4DefaultViaEth0 + Ipv4LanOnEth0 << QByteArray() << AllUp << true;
    QTest::newRow("default route further down the table")
        << Ipv4Header + Ipv4LanOnEth0 + Ipv4DefaultViaWlan0 << QByteArray() << AllUp << true;
    QTest::newRow("default via tunnel in state unknown")
        << Ipv4Header + Ipv4DefaultViaTun0 << QByteArray() << AllUp << true;
    QTest::newRow("loopback routes only")
        << Ipv4Header + Ipv4LoopbackNet << Ipv6LoopbackHost + Ipv6LoRejectDefault << AllUp << false;
    QTest::newRow("default route on lo")
        << Ipv4Header + Ipv4DefaultOnLo << QByteArray() << AllUp << false;
    QTest::newRow("default route on interface that is down")
        << Ipv4Header + Ipv4DefaultViaEth0 << QByteArray() << Eth0Down << false;
    QTest::newRow("default route on interface without carrier")
        << Ipv4Header + Ipv4DefaultViaEth0 << Ipv6DefaultViaEth0 << Eth0NoCarrier << false;
    QTest::newRow("default route on vanished interface")
        << Ipv4Header + Ipv4DefaultViaWlan0 << QByteArray() << Eth0Down << false;
    QTest::newRow("default route not marked up")
        << Ipv4Header + Ipv4DefaultNotUp << QByteArray() << AllUp << false;
    QTest::newRow("unreachable default")
        << Ipv4Header + Ipv4UnreachableDefault << QByteArray() << AllUp << false;
    QTest::newRow("reject default on an interface that is up")
        << Ipv4Header + Ipv4RejectDefaultOnEth0 << QByteArray() << AllUp << false;
    QTest::newRow("ipv6 default only")
        << Ipv4Header << Ipv6LinkLocalOnEth0 + Ipv6DefaultViaEth0 + Ipv6LoopbackHost << AllUp
        << true;
    QTest::newRow("ipv6 lo reject default only")
        << Ipv4Header << Ipv6LinkLocalOnEth0 + Ipv6LoopbackHost + Ipv6LoRejectDefault << AllUp
        << false;
    QTest::newRow("ipv6 default on interface that is down")
        << Ipv4Header << Ipv6DefaultViaEth0 + Ipv6LoRejectDefault << Eth0Down << false;
    QTest::newRow("non-default routes only")
        << Ipv4Header + Ipv4LanOnEth0 + Ipv4LoopbackNet << Ipv6LinkLocalOnEth0 + Ipv6MulticastOnEth0
        << AllUp << false;
    QTest::newRow("garbage only") << Garbage << Garbage << AllUp << false;
    QTest::newRow("garbage around a default route")
        << Ipv4Header + Garbage + Ipv4DefaultViaEth0 + Garbage << Garbage << AllUp << true;
    QTest::newRow("garbage around an ipv6 default route")
        << Garbage << Garbage + Ipv6DefaultViaEth0 + Garbage << AllUp << true;
}

void TestEngine::defaultRouteDecision()
{
    QFETCH(QByteArray, ipv4);
    QFETCH(QByteArray, ipv6);
    QFETCH(Interfaces, interfaces);
    QFETCH(bool, connected);

    QCOMPARE(RouteTable::hasDefaultRoute(ipv4, ipv6, lookupIn(interfaces)), connected);
    QCOMPARE(Engine(readerOf(&ipv4, &ipv6, interfaces)).connectedToNetwork(), connected);
}

void TestEngine::interfaceUsability_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QByteArray>("operState");
    QTest::addColumn<bool>("usable");

    QTest::newRow("ethernet up") << 0x1003u << QByteArray("up\n") << true;
    QTest::newRow("tunnel up, state unknown") << 0x10d1u << QByteArray("unknown") << true;
    QTest::newRow("up, state unreadable") << 0x1003u << QByteArray() << true;
    QTest::newRow("administratively down") << 0x1002u << QByteArray("down") << false;
    QTest::newRow("down, state unknown") << 0x1090u << QByteArray("unknown") << false;
    QTest::newRow("up without carrier") << 0x1003u << QByteArray("down") << false;
    QTest::newRow("up, lower layer down") << 0x1003u << QByteArray("lowerlayerdown") << false;
    QTest::newRow("up, dormant") << 0x1003u << QByteArray("dormant") << false;
    QTest::newRow("loopback") << 0x9u << QByteArray("unknown") << false;
    QTest::newRow("missing") << 0x0u << QByteArray() << false;
}

void TestEngine::interfaceUsability()
{
    QFETCH(uint, flags);
    QFETCH(QByteArray, operState);
    QFETCH(bool, usable);

    QCOMPARE(RouteTable::isUsable({flags, operState}), usable);
}

void TestEngine::checkNetworkReportsOnlyWhenOffline_data()
{
    QTest::addColumn<QByteArray>("ipv4");
    QTest::addColumn<bool>("connected");

    QTest::newRow("online") << Ipv4Header + Ipv4DefaultViaEth0 << true;
    QTest::newRow("offline") << Ipv4Header + Ipv4LanOnEth0 << false;
}

void TestEngine::checkNetworkReportsOnlyWhenOffline()
{
    QFETCH(QByteArray, ipv4);
    QFETCH(bool, connected);
    const QByteArray ipv6;
    const Engine engine(readerOf(&ipv4, &ipv6, AllUp));
    const PrintedLines printed;

    QCOMPARE(engine.checkNetwork(), connected);

    if (connected) {
        QCOMPARE(printed.lines(), QStringList());
    } else {
        const QString notice = Localization::text(Localization::NetworkConnectionRequired);
        QVERIFY(notice != QLatin1String(Localization::NetworkConnectionRequired));
        QCOMPARE(printed.lines(), QStringList{notice});
    }
}

void TestEngine::everyQuestionReadsTheTablesAnew()
{
    QByteArray ipv4 = Ipv4Header + Ipv4DefaultViaEth0;
    const QByteArray ipv6;
    const Engine engine(readerOf(&ipv4, &ipv6, AllUp));
    QVERIFY(engine.connectedToNetwork());

    ipv4 = Ipv4Header;
    QVERIFY(!engine.connectedToNetwork());
    const PrintedLines printed;
    QVERIFY(!engine.checkNetwork());
    QCOMPARE(printed.lines().size(), 1);

    ipv4 += Ipv4DefaultViaEth0;
    QVERIFY(engine.checkNetwork());
    QCOMPARE(printed.lines().size(), 1);
}

void TestEngine::systemTablesReadTheKernel()
{
    const Engine::TableReader system = Engine::systemTables();

    QVERIFY(system.ipv4Routes().startsWith("Iface\tDestination\tGateway"));
    const RouteTable::InterfaceState loopback = system.interfaceState(QStringLiteral("lo"));
    QVERIFY(loopback.flags & 0x8);
    QVERIFY(!loopback.operState.isEmpty());
    QCOMPARE(system.interfaceState(QStringLiteral("no-such-if0")).flags, 0u);
    QCOMPARE(system.interfaceState(QStringLiteral("..")).flags, 0u);
    QCOMPARE(system.interfaceState(QStringLiteral("../net/lo")).flags, 0u);
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
