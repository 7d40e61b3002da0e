// Hostile or broken answers, in-process: each is bounded and reported in one line.

#include "ClientList.h"
#include "ComboPickList.h"
#include "MemberCenter.h"
#include "NotesFeed.h"
#include "NotesTableModel.h"
#include "ServerAddress.h"
#include "SettingsStore.h"
#include "support/FakeTransport.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

static QByteArray items(int count)
{
    QByteArray xml;
    for (int i = 0; i < count; ++i)
        xml += "<item><NoteID>" + QByteArray::number(i) + "</NoteID><name>Firma " +
               QByteArray::number(i) + "</name></item>";
    return xml;
}

class BadInputTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSettings> settings;
    FakeTransport transport;

private slots:
    void init()
    {
        (settings = std::make_unique<TestSettings>())->save("localhost:1", "demo", "demo");
    }

    // A feed or a client list keeps the items before a break and the first 10,000 of a long one.
    void listsKeepWhatIsSafe_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("line");
        QTest::newRow("an item inside an item")
            << "<l>" + items(2).replace("</item><item>", "<item>") + "</l>" << 0
            << "failure error: an item inside an item|%1";
        // The parser reads the document a block at a time, so the blocks before a bad byte count.
        QTest::newRow("bad UTF-8 after 40 kB")
            << "<l>" + items(1000) + "<item>\xff</item></l>" << -1
            << "failure error: Encountered incorrectly encoded content.|%1";
        QTest::newRow("more than 10,000 items")
            << "<l>" + items(10002) + "</l>" << 10000
            << "stderr: the list holds only the first 10000 items; 2 more were dropped";
    }

    void listsKeepWhatIsSafe()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, kept);
        QFETCH(QString, line);
        for (const bool isFeed : {true, false}) {
            MemberCenter session(SettingsStore::shared(), transport);
            NotesFeed feed(session);
            ClientList clients(session);
            QComboBox combo;
            ComboPickList pickList(&combo);
            PrintedLines printed;
            if (isFeed) {
                feed.handleXml(body);
                WAIT_FOR(feed.isIdle());
            } else
                clients.takeXmlItems(QByteArray(body).replace("NoteID", "ClientID"), &pickList);
            const qsizetype count =
                isFeed ? feed.noteObjects().size() : clients.clientObjects().size();
            QVERIFY2(kept >= 0 ? count == kept : count > 500 && count < 1000,
                     qPrintable(QString::number(count)));
            if (!isFeed)
                QCOMPARE(combo.count(), count + 1); // the placeholder first
            const QString incomplete = QStringLiteral(
                "stderr: the list is incomplete: it shows the %1 items read before the error");
            QCOMPARE(printed.all().join('|'),
                     line.contains("%1") ? line.arg(incomplete.arg(count)) : line);
        }
    }

    void unusableSessionIdIsRefused_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("usable");
        QTest::newRow("256 characters") << QString(256, 'a') << true;
        QTest::newRow("257 characters") << QString(257, 'a') << false;
        QTest::newRow("space") << "a b" << false;
        QTest::newRow("escape") << "a\x1b[2J" << false;
        QTest::newRow("DEL") << "a\x7f" << false;
        QTest::newRow("line separator") << u"a\u2028"_qs << false;
    }

    void unusableSessionIdIsRefused()
    {
        QFETCH(QString, id);
        QFETCH(bool, usable);
        MemberCenter session(SettingsStore::shared(), transport);
        std::optional<bool> accepted;
        session.actionLogin([&accepted](bool ok) { accepted = ok; });
        PrintedLines printed;
        QVERIFY(transport.answerJson(
            QJsonDocument(QJsonObject{{"success", 1}, {"PHPSESSID", id}}).toJson()));
        QCOMPARE(accepted, std::optional<bool>(usable));
        QCOMPARE(session.PHPSESSID(), usable ? id : QString());
        const QString refused = "the login answer cannot be read: \"PHPSESSID\" is longer than 256 "
                                "characters or holds white space or control characters";
        QCOMPARE(printed.lines(), usable ? QStringList() : QStringList{refused});
    }

    // Host and path as saved, and the URL a login goes to; empty when nothing may be sent.
    void addressRules_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url");
        const auto row = [](const char* host, const char* path, const char* url) {
            QTest::newRow(qPrintable(QStringLiteral("%1 | %2").arg(host, path)))
                << QString::fromUtf8(host) << QString::fromUtf8(path) << QString::fromUtf8(url);
        };
        row("notes.example.sk", "", "https://notes.example.sk/api/login.php");
        row(" Notes.Example.SK:8443 ", "/firma/x",
            "https://notes.example.sk:8443/firma/x/api/login.php");
        row("127.0.0.1:1", "/a%20b", "https://127.0.0.1:1/a%2520b/api/login.php");
        row("[::1]:65535", "", "https://[::1]:65535/api/login.php");
        row("žilina.sk", "", "https://xn--ilina-tib.sk/api/login.php");
        for (const char* host : {"my host", "::1", "[::1", "[zz]:1", "h:0", "h:65536", "h:x",
                                 "-h.sk", "1.2.3", "a@evil.sk", "h.sk/x", "h.sk?x", ""})
            row(host, "", "");
        for (const char* path :
             {"firma", "@evil.sk", "/a@b", "/a?b", "/a#b", "/a\\b", "/a b", "/a\x01"})
            row("h.sk", path, "");
    }

    void addressRules()
    {
        QFETCH(QString, host);
        QFETCH(QString, path);
        QFETCH(QString, url);
        const ServerAddress::Composed composed = ServerAddress::compose(host, path, "login.php");
        QCOMPARE(composed.url.toString(QUrl::FullyEncoded), url);
        QCOMPARE(composed.problem.isEmpty(), !url.isEmpty());
        const bool fieldsOk = ServerAddress::hostProblem(host).isEmpty() &&
                              ServerAddress::pathProblem(path).isEmpty();
        QCOMPARE(fieldsOk, !url.isEmpty());
    }

    // A cell lays out at most a few hundred characters, however long the note.
    void longNoteShowsItsStartInTheTable()
    {
        QCOMPARE(NotesTableModel::firstLine(QString(5'000'000, 'x') + "\nsecond line"),
                 QString(NotesTableModel::MaxCellCharacters, 'x') + QChar(0x2026));
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
