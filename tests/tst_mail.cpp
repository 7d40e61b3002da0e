#include "notes/DesktopMailComposer.h"
#include "notes/Mail.h"
#include "notes/MailComposer.h"
#include "support/PrintedLines.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

namespace {
// Remembers every call in the order it came, with what it was given.
class RecordingComposer : public MailComposer
{
public:
    void setRecipients(const QStringList& list) override
    {
        calls << QStringLiteral("setRecipients");
        recipients = list;
    }
    void setSubject(const QString& text) override
    {
        calls << QStringLiteral("setSubject");
        subject = text;
    }
    void performWithItems(const QStringList& list) override
    {
        calls << QStringLiteral("performWithItems");
        items = list;
    }

    QStringList calls;
    QStringList recipients;
    QString subject;
    QStringList items;
};

const QStringList InOrder = {QStringLiteral("setRecipients"), QStringLiteral("setSubject"),
                             QStringLiteral("performWithItems")};
const QString Slovak = QStringLiteral("Čučoriedky ťažké ľúbiť");
const QString ClipboardBefore = QStringLiteral("clipboard before the mail");

QString repeatedTo(const QString& piece, qsizetype length)
{
    QString text;
    while (text.size() < length)
        text += piece;
    return text.left(length);
}

QString decodedBody(const QUrl& url)
{
    return QUrlQuery(url).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
}
} // namespace

class TestMail : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sendHandsOverInOrder_data();
    void sendHandsOverInOrder();
    void sendUsesTheSubstitutedDefaultComposer();

    void mailtoUrl_data();
    void mailtoUrl();
    void linkLengthLimit_data();
    void linkLengthLimit();
    void longBodyGoesToTheClipboard_data();
    void longBodyGoesToTheClipboard();
    void desktopLinkParsesBack_data();
    void desktopLinkParsesBack();
    void unopenedMailProgramIsReported_data();
    void unopenedMailProgramIsReported();

private:
    struct Opened
    {
        QList<QUrl> urls;
        QStringList printed;
    };
    static Opened composeWithDesktop(const QString& to, const QString& subject, const QString& body,
                                     bool openerSucceeds = true);
};

void TestMail::init()
{
    QGuiApplication::clipboard()->setText(ClipboardBefore);
}

void TestMail::sendHandsOverInOrder_data()
{
    QTest::addColumn<QString>("emailTo");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("message");

    QTest::newRow("filled in") << QStringLiteral("jana@example.sk") << QStringLiteral("Meeting")
                               << QStringLiteral("See you at ten.");
    QTest::newRow("no recipient") << QString() << QStringLiteral("Meeting")
                                  << QStringLiteral("See you at ten.");
    QTest::newRow("all empty") << QString() << QString() << QString();
    QTest::newRow("multi-line body") << QStringLiteral("jana@example.sk") << Slovak
                                     << QStringLiteral("first line\nsecond line\r\n\r\nlast");
}

void TestMail::sendHandsOverInOrder()
{
    QFETCH(QString, emailTo);
    QFETCH(QString, subject);
    QFETCH(QString, message);
    RecordingComposer composer;
    Mail mail(&composer);
    mail.emailTo = emailTo;
    mail.subject = subject;
    mail.message = message;

    mail.send();

    QCOMPARE(composer.calls, InOrder);
    QCOMPARE(composer.recipients, QStringList{emailTo});
    QCOMPARE(composer.subject, subject);
    QCOMPARE(composer.items, QStringList{message});
}

void TestMail::sendUsesTheSubstitutedDefaultComposer()
{
    const Mail blank;
    QCOMPARE(blank.emailTo, QString(""));
    QCOMPARE(blank.subject, QString(""));
    QCOMPARE(blank.message, QString(""));
    QVERIFY(dynamic_cast<DesktopMailComposer*>(&Mail::defaultComposer()));

    RecordingComposer composer;
    Mail mail;
    Mail::setDefaultComposer(&composer);
    mail.subject = QStringLiteral("Hello");
    mail.send();
    Mail::setDefaultComposer(nullptr);

    QCOMPARE(composer.calls, InOrder);
    QCOMPARE(composer.recipients, QStringList{QString()});
    QCOMPARE(composer.subject, QStringLiteral("Hello"));
    QCOMPARE(composer.items, QStringList{QString()});
    QVERIFY(dynamic_cast<DesktopMailComposer*>(&Mail::defaultComposer()));
}

void TestMail::mailtoUrl_data()
{
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("url");

    QTest::newRow("plain") << QStringLiteral("jana@example.sk") << QStringLiteral("Hi")
                           << QStringLiteral("Text")
                           << "mailto:jana%40example.sk?subject=Hi&body=Text";
    QTest::newRow("empty recipient")
        << QString() << QStringLiteral("Hi") << QStringLiteral("x") << "mailto:?subject=Hi&body=x";
    QTest::newRow("empty subject and body")
        << QStringLiteral("a@b.sk") << QString() << QString() << "mailto:a%40b.sk?subject=&body=";
    QTest::newRow("all empty") << QString() << QString() << QString() << "mailto:?subject=&body=";
    QTest::newRow("multi-line body")
        << QString() << QStringLiteral("Lines") << QStringLiteral("one\ntwo\r\nthree\rfour\n\n")
        << "mailto:?subject=Lines&body=one%0D%0Atwo%0D%0Athree%0D%0Afour%0D%0A%0D%0A";
    QTest::newRow("slovak letters")
        << QString() << Slovak << Slovak
        << "mailto:?subject=%C4%8Cu%C4%8Doriedky%20%C5%A5a%C5%BEk%C3%A9%20%C4%BE%C3%BAbi%C5%A5"
           "&body=%C4%8Cu%C4%8Doriedky%20%C5%A5a%C5%BEk%C3%A9%20%C4%BE%C3%BAbi%C5%A5";
    QTest::newRow("delimiters") << QStringLiteral("a+b&c=d?e#f") << QStringLiteral("a+b&c=d?e#f")
                                << QStringLiteral("a+b&c=d?e#f")
                                << "mailto:a%2Bb%26c%3Dd%3Fe%23f?subject=a%2Bb%26c%3Dd%3Fe%23f"
                                   "&body=a%2Bb%26c%3Dd%3Fe%23f";
    QTest::newRow("percent, semicolon, comma")
        << QString() << QStringLiteral("50% ; x,y") << QStringLiteral("50% ; x,y")
        << "mailto:?subject=50%25%20%3B%20x%2Cy&body=50%25%20%3B%20x%2Cy";
    QTest::newRow("unreserved stay raw")
        << QStringLiteral("Az09-._~") << QStringLiteral("Az09-._~") << QStringLiteral("Az09-._~")
        << "mailto:Az09-._~?subject=Az09-._~&body=Az09-._~";
}

void TestMail::mailtoUrl()
{
    QFETCH(QString, to);
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QString, url);
    bool bodyCut = true;

    QCOMPARE(DesktopMailComposer::mailtoUrl(to, subject, body, 2000, &bodyCut), url);
    QVERIFY(!bodyCut);
}

void TestMail::linkLengthLimit_data()
{
    QTest::addColumn<int>("overLimit");
    QTest::addColumn<bool>("cut");

    QTest::newRow("one below the limit") << -1 << false;
    QTest::newRow("exactly at the limit") << 0 << false;
    QTest::newRow("one over the limit") << 1 << true;
}

void TestMail::linkLengthLimit()
{
    QFETCH(int, overLimit);
    QFETCH(bool, cut);
    const QString head = QStringLiteral("mailto:a%40b.sk?subject=S&body=");
    const QString body(2000 - head.size() + overLimit, QLatin1Char('x'));
    bool bodyCut = !cut;

    const QString url = DesktopMailComposer::mailtoUrl(QStringLiteral("a@b.sk"),
                                                       QStringLiteral("S"), body, 2000, &bodyCut);

    QCOMPARE(bodyCut, cut);
    QCOMPARE(url.size(), cut ? 2000 : head.size() + body.size());
    QVERIFY(url.startsWith(head));
}

void TestMail::longBodyGoesToTheClipboard_data()
{
    QTest::addColumn<QString>("body");

    QTest::newRow("ascii") << repeatedTo(QStringLiteral("abc "), 5000);
    QTest::newRow("slovak lines") << repeatedTo(Slovak + QLatin1Char('\n'), 5000);
    QTest::newRow("windows lines") << repeatedTo(QStringLiteral("ab\r\n"), 5000);
    QTest::newRow("emoji") << repeatedTo(QStringLiteral("😀"), 5000);
    QTest::newRow("combining accents") << repeatedTo(QStringLiteral("e\u0301"), 5000);
}

void TestMail::longBodyGoesToTheClipboard()
{
    QFETCH(QString, body);
    QCOMPARE(body.size(), 5000);
    const QString subject = QStringLiteral("Long note");

    const Opened opened = composeWithDesktop(QStringLiteral("a@b.sk"), subject, body);

    QCOMPARE(opened.urls.size(), 1);
    const QUrl& url = opened.urls.first();
    const qsizetype length = url.toEncoded().size();
    QVERIFY2(length <= 2000 && length > 2000 - 13, QByteArray::number(length));
    QCOMPARE(QGuiApplication::clipboard()->text(), body);
    QCOMPARE(opened.printed.size(), 1);
    QVERIFY(opened.printed.first().contains(QLatin1String("clipboard")));
    const QString sent = decodedBody(url);
    QVERIFY(!sent.isEmpty());
    QVERIFY(DesktopMailComposer::withCrlfLineBreaks(body).startsWith(sent));
    QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), subject);
}

void TestMail::desktopLinkParsesBack_data()
{
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");

    QTest::newRow("slovak") << QStringLiteral("jana@example.sk") << Slovak << Slovak;
    QTest::newRow("delimiters") << QStringLiteral("jana@example.sk")
                                << QStringLiteral("a+b&c=d?e#f") << QStringLiteral("x=1&y=2;z#3");
    QTest::newRow("percent and commas") << QString() << QStringLiteral("100% sure, yes")
                                        << QStringLiteral("%41 stays %41, + stays +");
    QTest::newRow("multi-line") << QString() << QStringLiteral("Lines")
                                << QStringLiteral("one\ntwo\r\nthree\rfour");
    QTest::newRow("empty") << QString() << QString() << QString();
}

void TestMail::desktopLinkParsesBack()
{
    QFETCH(QString, to);
    QFETCH(QString, subject);
    QFETCH(QString, body);

    const Opened opened = composeWithDesktop(to, subject, body);

    QCOMPARE(opened.urls.size(), 1);
    const QUrl& url = opened.urls.first();
    QVERIFY(url.isValid());
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(url.path(QUrl::FullyDecoded), to);
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), subject);
    QCOMPARE(decodedBody(url), DesktopMailComposer::withCrlfLineBreaks(body));
    QVERIFY(opened.printed.isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), ClipboardBefore);
}

void TestMail::unopenedMailProgramIsReported_data()
{
    QTest::addColumn<bool>("openerSucceeds");

    QTest::newRow("mail program opened") << true;
    QTest::newRow("no mail program") << false;
}

void TestMail::unopenedMailProgramIsReported()
{
    QFETCH(bool, openerSucceeds);

    const Opened opened =
        composeWithDesktop(QString(), QStringLiteral("S"), QStringLiteral("B"), openerSucceeds);

    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.printed.size(), openerSucceeds ? 0 : 1);
    if (!openerSucceeds)
        QVERIFY(opened.printed.first().contains(QLatin1String("mail program")));
}

TestMail::Opened TestMail::composeWithDesktop(const QString& to, const QString& subject,
                                              const QString& body, bool openerSucceeds)
{
    Opened opened;
    DesktopMailComposer composer;
    composer.setUrlOpener([&opened, openerSucceeds](const QUrl& url) {
        opened.urls << url;
        return openerSucceeds;
    });
    const PrintedLines printed;
    Mail mail(&composer);
    mail.emailTo = to;
    mail.subject = subject;
    mail.message = body;
    mail.send();
    opened.printed = printed.lines();
    return opened;
}

QTEST_MAIN(TestMail)
#include "tst_mail.moc"
