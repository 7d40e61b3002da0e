// What goes on the wire before any server is involved: the URL text, the form encoding, and the
// rule that decides which server's certificate is taken unverified.

#include "ApiTransport.h"
#include "FormBody.h"
#include "TrustRule.h"

#include <QTest>
#include <QUrlQuery>

class RequestCompositionTest : public QObject
{
    Q_OBJECT

private slots:
    void urlText_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("host and path") << "notes.example.sk"
                                       << "/firma"
                                       << "https://notes.example.sk/firma/api/login.php";
        QTest::newRow("empty path") << "notes.example.sk"
                                    << ""
                                    << "https://notes.example.sk/api/login.php";
        QTest::newRow("path without leading slash is glued to the host")
            << "notes.example.sk"
            << "firma"
            << "https://notes.example.skfirma/api/login.php";
        QTest::newRow("trailing slash doubles") << "h"
                                                << "/p/"
                                                << "https://h/p//api/login.php";
        QTest::newRow("blanks are kept") << " h "
                                         << " /p "
                                         << "https:// h  /p /api/login.php";
        QTest::newRow("scheme typed in") << "https://h"
                                         << ""
                                         << "https://https://h/api/login.php";
        QTest::newRow("host with port") << "localhost:8443"
                                        << ""
                                        << "https://localhost:8443/api/login.php";
    }

    void urlText()
    {
        QFETCH(QString, host);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(ApiTransport::composeUrlText(host, path, QStringLiteral("login.php")), expected);
    }

    void formValuesArriveAsTyped_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("plain") << "demo" << QByteArray("demo");
        QTest::newRow("empty") << "" << QByteArray("");
        QTest::newRow("form delimiters") << "a&b=c" << QByteArray("a%26b%3Dc");
        QTest::newRow("plus is not a space") << "1+1" << QByteArray("1%2B1");
        QTest::newRow("percent") << "100%" << QByteArray("100%25");
        QTest::newRow("space and line breaks") << "a b\r\nc" << QByteArray("a%20b%0D%0Ac");
        QTest::newRow("utf-8") << QStringLiteral("é") << QByteArray("%C3%A9");
    }

    void formValuesArriveAsTyped()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, encoded);
        QCOMPARE(FormBody::encodeValue(value), encoded);
        // What a form decoder makes of the body is exactly the value again.
        const QByteArray body = FormBody().add("k", value).add("x", QStringLiteral("y")).bytes();
        QUrlQuery query(QString::fromLatin1(body));
        QCOMPARE(query.queryItemValue(QStringLiteral("k"), QUrl::FullyDecoded), value);
        QCOMPARE(query.queryItems().size(), 2);
    }

    void bodyKeepsOrderAndKeys()
    {
        const QByteArray body = FormBody()
                                    .add("login", QStringLiteral("jana"))
                                    .add("password", QStringLiteral("p&ss+w%rd=1"))
                                    .bytes();
        QCOMPARE(body, QByteArray("login=jana&password=p%26ss%2Bw%25rd%3D1"));
    }

    void trustRule_data()
    {
        QTest::addColumn<QString>("savedHost");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("trusted");
        QTest::newRow("same host") << "notes.example.sk"
                                   << "https://notes.example.sk/api/x" << true;
        QTest::newRow("saved host without port matches any port")
            << "localhost"
            << "https://localhost:8443/api/x" << true;
        QTest::newRow("host and port") << "localhost:8443"
                                       << "https://localhost:8443/api/x" << true;
        QTest::newRow("other port") << "localhost:8443"
                                    << "https://localhost:9443/api/x" << false;
        QTest::newRow("default port named") << "localhost:443"
                                            << "https://localhost/api/x" << true;
        QTest::newRow("letter case") << "Notes.Example.SK"
                                     << "https://notes.example.sk/api/x" << true;
        QTest::newRow("other host") << "localhost:8443"
                                    << "https://127.0.0.1:8443/api/x" << false;
        QTest::newRow("suffix is not the host") << "example.sk"
                                                << "https://evil-example.sk/x" << false;
        QTest::newRow("nothing saved") << ""
                                       << "https://localhost/x" << false;
        QTest::newRow("ipv6 with port") << "[::1]:8443"
                                        << "https://[::1]:8443/x" << true;
        QTest::newRow("plain http is never trusted") << "localhost"
                                                     << "http://localhost/x" << false;
    }

    void trustRule()
    {
        QFETCH(QString, savedHost);
        QFETCH(QString, url);
        QFETCH(bool, trusted);
        QCOMPARE(TrustRule::acceptsUnverified(savedHost, QUrl(url)), trusted);
    }
};

QTEST_GUILESS_MAIN(RequestCompositionTest)
#include "tst_requestcomposition.moc"
