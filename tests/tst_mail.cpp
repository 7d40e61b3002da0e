#include "DesktopMailComposer.h"
#include "Mail.h"
#include "support/PrintedLines.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QUrlQuery>

namespace {
// Remembers every call in the order it came, with what it was given.
class RecordingComposer : public MailComposer
{
public:
    void setRecipients(const QStringList& list) override { calls << "setRecipients" << list; }
    void setSubject(const QString& text) override { calls << "setSubject" << text; }
    void performWithItems(const QStringList& list) override { calls << "performWithItems" << list; }

    QStringList calls;
};

const QString Slovak = QStringLiteral("Čučoriedky ťažké ľúbiť");
const QString ClipboardBefore = QStringLiteral("clipboard before the mail");

QString repeatedTo(const QString& piece, qsizetype length)
{
    QString text;
    while (text.size() < length)
        text += piece;
    return text.left(length);
}

QString queryValue(const QUrl& url, const char* key)
{
    return QUrlQuery(url).queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
}

// Sends a mail through the desktop composer with the mail program replaced by a recorder of the
// links it is given.
QList<QUrl> composeWithDesktop(const QString& to, const QString& subject, const QString& body,
                               bool openerSucceeds)
{
    QList<QUrl> urls;
    DesktopMailComposer composer;
    composer.setUrlOpener([&urls, openerSucceeds](const QUrl& url) {
        urls << url;
        return openerSucceeds;
    });
    Mail mail(&composer);
    mail.emailTo = to;
    mail.subject = subject;
    mail.message = body;
    mail.send();
    return urls;
}
} // namespace

class TestMail : public QObject
{
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->setText(ClipboardBefore); }

    void sendHandsOverInOrder()
    {
        RecordingComposer given;
        Mail mail(&given);
        mail.emailTo = QStringLiteral("jana@example.sk");
        mail.subject = Slovak;
        mail.message = QStringLiteral("first line\nsecond line\r\n\r\nlast");
        mail.send();
        QCOMPARE(given.calls, (QStringList{"setRecipients", mail.emailTo, "setSubject", Slovak,
                                           "performWithItems", mail.message}));

        // Without a composer the substituted default takes the mail; empty fields stay empty.
        RecordingComposer substitute;
        Mail::setDefaultComposer(&substitute);
        Mail().send();
        Mail::setDefaultComposer(nullptr);
        QCOMPARE(substitute.calls,
                 (QStringList{"setRecipients", "", "setSubject", "", "performWithItems", ""}));
        QVERIFY(dynamic_cast<DesktopMailComposer*>(&Mail::defaultComposer()));
    }

    void mailtoUrl_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("cut");
        const auto row = [](const char* name, const QString& to, const QString& subject,
                            const QString& body, const QString& url, bool cut = false) {
            QTest::newRow(name) << to << subject << body << url << cut;
        };
        const QString dl = QStringLiteral("a+b&c=d?e#f");
        const QString dlEncoded = QStringLiteral("a%2Bb%26c%3Dd%3Fe%23f");
        const QString sk =
            QStringLiteral("%C4%8Cu%C4%8Doriedky%20%C5%A5a%C5%BEk%C3%A9%20%C4%BE%C3%BAbi%C5%A5");
        const QString raw = QStringLiteral("Az09-._~");
        row("plain", "jana@example.sk", "Hi", "Text",
            "mailto:jana%40example.sk?subject=Hi&body=Text");
        row("empty recipient", "", "Hi", "x", "mailto:?subject=Hi&body=x");
        row("empty subject and body", "a@b.sk", "", "", "mailto:a%40b.sk?subject=&body=");
        row("all empty", "", "", "", "mailto:?subject=&body=");
        row("line breaks become CRLF", "", "Lines", "one\ntwo\r\nthree\rfour\n\n",
            "mailto:?subject=Lines&body=one%0D%0Atwo%0D%0Athree%0D%0Afour%0D%0A%0D%0A");
        row("slovak letters", "", Slovak, Slovak, "mailto:?subject=" + sk + "&body=" + sk);
        row("delimiters", dl, dl, dl,
            "mailto:" + dlEncoded + "?subject=" + dlEncoded + "&body=" + dlEncoded);
        row("percent, semicolon, comma", "", "50% ; x,y", "50% ; x,y",
            "mailto:?subject=50%25%20%3B%20x%2Cy&body=50%25%20%3B%20x%2Cy");
        row("unreserved stay raw", raw, raw, raw, "mailto:Az09-._~?subject=Az09-._~&body=Az09-._~");
        // Links are at most 2000 characters long.
        const QString head = QStringLiteral("mailto:a%40b.sk?subject=S&body=");
        const QString fits(2000 - head.size(), QLatin1Char('x'));
        row("one below the limit", "a@b.sk", "S", fits.mid(1), head + fits.mid(1));
        row("exactly at the limit", "a@b.sk", "S", fits, head + fits);
        row("one over the limit is cut", "a@b.sk", "S", fits + 'y', head + fits, true);
    }

    void mailtoUrl()
    {
        QFETCH(QString, to);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QString, url);
        QFETCH(bool, cut);
        bool bodyCut = !cut;
        QCOMPARE(DesktopMailComposer::mailtoUrl(to, subject, body, 2000, &bodyCut), url);
        QCOMPARE(bodyCut, cut);
    }

    void desktopHandOver_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("openerSucceeds");
        const auto row = [](const char* name, const QString& to, const QString& subject,
                            const QString& body, bool openerSucceeds = true) {
            QTest::newRow(name) << to << subject << body << openerSucceeds;
        };
        row("delimiters", "jana@example.sk", "a+b&c=d?e#f", "x=1&y=2;z#3");
        row("percent and commas", "", "100% sure, yes", "%41 stays %41, + stays +");
        row("multi-line", "", Slovak, "one\ntwo\r\nthree\rfour");
        row("no mail program", "", "S", "B", false);
        // 5,000 characters do not fit a link.
        row("long ascii", "a@b.sk", "Long", repeatedTo("abc ", 5000));
        row("long slovak lines", "a@b.sk", "Long", repeatedTo(Slovak + '\n', 5000));
        row("long windows lines", "a@b.sk", "Long", repeatedTo("ab\r\n", 5000));
        row("long emoji", "a@b.sk", "Long", repeatedTo("😀", 5000));
        row("long combining accents", "a@b.sk", "Long", repeatedTo("e\u0301", 5000));
    }

    // The mail program gets a valid link that decodes to what was written. A body too long for
    // the link is cut between whole characters, and the whole body goes to the clipboard with a
    // line saying so; a mail program that could not be opened is reported.
    void desktopHandOver()
    {
        QFETCH(QString, to);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(bool, openerSucceeds);
        const bool tooLong = body.size() == 5000;
        const PrintedLines printedLines;
        const QList<QUrl> urls = composeWithDesktop(to, subject, body, openerSucceeds);

        QCOMPARE(urls.size(), 1);
        const QUrl& url = urls.first();
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(QUrl::FullyDecoded), to);
        QCOMPARE(queryValue(url, "subject"), subject);
        const QString whole = DesktopMailComposer::withCrlfLineBreaks(body);
        const QString sent = queryValue(url, "body");
        QCOMPARE(QGuiApplication::clipboard()->text(), tooLong ? body : ClipboardBefore);
        QStringList printed = printedLines.lines();
        QCOMPARE(printed.size(), int(tooLong) + int(!openerSucceeds));
        if (!openerSucceeds)
            QVERIFY(printed.takeLast().contains(QLatin1String("mail program")));
        if (!tooLong) {
            QCOMPARE(sent, whole);
            return;
        }

        QVERIFY(printed.first().contains(QLatin1String("clipboard")));
        const qsizetype length = url.toEncoded().size();
        QVERIFY2(length <= 2000 && length > 2000 - 13, QByteArray::number(length));
        QVERIFY(!sent.isEmpty() && whole.startsWith(sent));
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, whole);
        graphemes.setPosition(sent.size());
        QVERIFY2(graphemes.isAtBoundary(), qPrintable(sent.right(4)));
    }
};

QTEST_MAIN(TestMail)
#include "tst_mail.moc"
