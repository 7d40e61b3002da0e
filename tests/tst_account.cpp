// One account, one owner: what the account object does with each answer, fed literal server
// answers in-process, alone and under the notes view, including a switch to another account
// while commands of the first are still queued.

#include "ApiAnswer.h"
#include "ClientList.h"
#include "DraftStore.h"
#include "DraftsDialog.h"
#include "Localization.h"
#include "MemberCenter.h"
#include "NoteEditor.h"
#include "NotesAccount.h"
#include "NotesCache.h"
#include "NotesTableModel.h"
#include "Notices.h"
#include "PasswordStore.h"
#include "PreferencesViewController.h"
#include "SettingsStore.h"
#include "ViewController.h"
#include "support/FakeTransport.h"
#include "support/PrintedLines.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QUrlQuery>

Q_DECLARE_METATYPE(ApiAnswer)

namespace {
const QByteArray Clients = "<list><item><ClientID>3</ClientID><name>Alpha</name></item></list>";
const QByteArray Projects = "<list><item><ProjectID>12</ProjectID><name>Roof</name></item></list>";

QByteArray notesXml(const QList<std::pair<QByteArray, QByteArray>>& notes)
{
    QByteArray xml = "<notes>";
    for (const auto& [id, text] : notes)
        xml += "<item><NoteID>" + id + "</NoteID><note>" + text +
               "</note><ProjectID value=\"12\">Roof</ProjectID><ClientID "
               "value=\"3\">Alpha</ClientID></item>";
    return xml + "</notes>";
}

const QByteArray Ok = R"({"success":1})";

QString field(const QByteArray& body, const char* key)
{
    return QUrlQuery(QString::fromUtf8(body))
        .queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
}
} // namespace

class TestAccount : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<FakeTransport> transport;
    QStringList alerts;

    std::unique_ptr<NotesAccount> makeAccount(const QString& host)
    {
        settings->save(host, QStringLiteral("demo"), QStringLiteral("pw"));
        return std::make_unique<NotesAccount>(
            std::make_unique<MemberCenter>(SettingsStore::shared(), *transport));
    }

    // The latest request of this action, or -1.
    int last(const char* action) const
    {
        for (int i = transport->count() - 1; i >= 0; --i)
            if (field(transport->at(i).body, "action") == QLatin1String(action))
                return i;
        return -1;
    }
    int lastLogin() const
    {
        for (int i = transport->count() - 1; i >= 0; --i)
            if (transport->at(i).url.path().endsWith("login.php"))
                return i;
        return -1;
    }
    int sentTo(const QString& host, const char* action) const
    {
        int n = 0;
        for (int i = 0; i < transport->count(); ++i)
            n += transport->at(i).url.authority() == host &&
                 field(transport->at(i).body, "action") == QLatin1String(action);
        return n;
    }

    bool answerLogin(const QByteArray& session)
    {
        return transport->answerJson(R"({"success":1,"PHPSESSID":")" + session + R"("})",
                                     lastLogin());
    }
    // Answers the newest notes request with these notes and waits until the rows show them.
    bool answerNotes(NotesAccount& account, const QByteArray& xml)
    {
        QSignalSpy replaced(&account, &NotesAccount::rowsReplaced);
        return transport->answerXml(xml, last("xml_notes")) && replaced.wait(5000) &&
               account.rows().size() == xml.count("<item>");
    }
    // Login, clients, projects and the notes, as a server answers them.
    bool signInLoaded(NotesAccount& account, const QByteArray& notes)
    {
        return account.signIn() && answerLogin("s1") &&
               transport->answerXml(Clients, last("xml_clients")) &&
               transport->answerXml(Projects, last("xml_projects")) && answerNotes(account, notes);
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<NotesAccount::RowsChange>();
        connect(&Notices::instance(), &Notices::alerted, this,
                [this](const QString& alert) { alerts << alert; });
    }

    void init()
    {
        settings = std::make_unique<TestSettings>();
        transport = std::make_unique<FakeTransport>();
        alerts.clear();
    }

    // A switch retires the old account: the commands it still has go to its own server with its
    // own session, its re-login answers only its own waiters, and none of it reaches the new
    // account's rows or drafts.
    void switchKeepsCommandsWithTheirAccount()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "a seven"}})));
        a->noteShown("7");
        a->noteEdited("7", "a draft");
        QVERIFY(a->save("7", "a draft", {}, {}));
        QVERIFY(a->remove("7")); // waits behind the save
        QSignalSpy released(a.get(), &NotesAccount::released);

        auto b = makeAccount("b.test");
        QSignalSpy bRows(b.get(), &NotesAccount::rowsReplaced);
        a->retire();
        QVERIFY(b->signIn());
        // The old account's save meets a lost session; its login goes out to its own server.
        QVERIFY(transport->answerJson(R"({"success":0,"error_code":2,"error_message":"-"})",
                                      last("edit_note")));
        QCOMPARE(transport->at(lastLogin()).url.authority(), QStringLiteral("a.test"));
        const int aLogin = lastLogin();
        // The new account's login, answered first, repeats nothing of the old one.
        const int bLogin = [&] {
            for (int i = transport->count() - 1; i >= 0; --i)
                if (transport->at(i).url.authority() == "b.test" &&
                    transport->at(i).url.path().endsWith("login.php"))
                    return i;
            return -1;
        }();
        QVERIFY(transport->answerJson(R"({"success":1,"PHPSESSID":"b1"})", bLogin));
        QCOMPARE(sentTo("a.test", "edit_note"), 1);
        QVERIFY(transport->answerJson(R"({"success":1,"PHPSESSID":"a2"})", aLogin));
        QCOMPARE(sentTo("a.test", "edit_note"), 2);
        QCOMPARE(field(transport->at(last("edit_note")).body, "PHPSESSID"), QStringLiteral("a2"));
        QVERIFY(transport->answerJson(Ok, last("edit_note")));
        QCOMPARE(sentTo("a.test", "delete_note"), 1);
        QCOMPARE(field(transport->at(last("delete_note")).body, "PHPSESSID"), QStringLiteral("a2"));
        QVERIFY(transport->answerJson(Ok, last("delete_note")));
        QCOMPARE(released.size(), 1);
        // Nothing of the old account went to the new server, and the old one loaded nothing.
        for (const char* action : {"edit_note", "delete_note"})
            QCOMPARE(sentTo("b.test", action), 0);
        QCOMPARE(sentTo("a.test", "xml_notes"), 1);
        QVERIFY(bRows.isEmpty() && b->drafts().drafts().isEmpty());
        QVERIFY(!a->drafts().draft("7")); // the delete was applied to the old account's drafts
        QCOMPARE(b->drafts().filePath() == a->drafts().filePath(), false);
    }

    // Cancel while a Save and connect logs in: the login stops, the settings are again those of
    // the session the window uses, and its password is kept.
    void cancelledConnectLeavesTheOldAccount()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}})));
        PasswordStore passwords(SettingsStore::shared(), PasswordStore::Backend::SettingsFile);
        PreferencesViewController preferences(*transport, passwords);
        preferences.setCurrentSession(&a->membercenter());
        preferences.serverTextField()->setText("b.test");
        preferences.passwordTextField()->setText("other");
        preferences.actionSaveAndConnect();
        const int login = lastLogin();
        QCOMPARE(transport->at(login).url.authority(), QStringLiteral("b.test"));
        QVERIFY(transport->isOpen(login));
        preferences.reject();
        QVERIFY(!transport->isOpen(login));
        QCOMPARE(SettingsStore::shared().stringForKey(SettingsStore::Host),
                 QStringLiteral("a.test"));
        QCOMPARE(passwords.password(), QStringLiteral("pw"));
        QCOMPARE(a->membercenter().host(), QStringLiteral("a.test"));
        QVERIFY(a->canChangeNotes() && a->remove("7"));
        QCOMPARE(transport->at(-1).url.authority(), QStringLiteral("a.test"));
    }

    // While the table shows the offline copy (before the server's list, or after a failed one),
    // nothing is changed on the server; edits become drafts on the copy's text.
    void offlineCopyIsReadOnlyUntilTheServersList()
    {
        {
            auto earlier = makeAccount("a.test");
            QVERIFY(signInLoaded(*earlier, notesXml({{"7", "old text"}})));
        }
        auto a = makeAccount("a.test");
        QVERIFY(a->signIn());
        QVERIFY(a->showsOfflineCopy() && a->rows().size() == 1 && !a->canChangeNotes());
        QVERIFY(answerLogin("s1") && transport->answerXml(Clients, last("xml_clients")) &&
                transport->answerXml(Projects, last("xml_projects")));
        QVERIFY(transport->answerStatus(500, {}, last("xml_notes")));
        QVERIFY(a->showsOfflineCopy() && !a->canChangeNotes());
        const int sent = transport->count();
        a->noteShown("7");
        a->noteEdited("7", "mine");
        QVERIFY(!a->save("7", "mine", {}, {}) && !a->remove("7") && !a->add({}, false, false));
        QCOMPARE(transport->count(), sent);
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("mine"));
        a->search({}, {}, {});
        QVERIFY(answerNotes(*a, notesXml({{"7", "newer elsewhere"}})));
        QVERIFY(a->canChangeNotes() && a->savesOverNewerText("7"));
    }

    // Offline, a search looks in the copy: each keyword anywhere in its field, in any case.
    void offlineSearchLooksInTheCopy()
    {
        {
            auto earlier = makeAccount("a.test");
            QVERIFY(signInLoaded(*earlier, notesXml({{"7", "Seven Oaks"}, {"8", "eight"}})));
        }
        auto a = makeAccount("a.test");
        QVERIFY(a->signIn());
        QVERIFY(transport->failTransport("Connection refused", lastLogin()));
        const int sent = transport->count();
        a->search("oAK", {}, {});
        QCOMPARE(transport->count(), sent);
        QVERIFY(a->showsOfflineCopy());
        QCOMPARE(a->rows().size(), 1);
        QCOMPARE(a->rows().first().id, QStringLiteral("7"));
    }

    // A save confirmed while the user went on typing: the draft continues from the saved text,
    // so the next save asks nothing.
    void confirmedSaveWhileTypingAsksNothing()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "v0"}})));
        a->noteShown("7");
        a->noteEdited("7", "v1");
        QVERIFY(a->save("7", "v1", {}, {}));
        a->noteEdited("7", "v1 and more");
        a->keepDraft();
        QVERIFY(transport->answerJson(Ok, last("edit_note")));
        QVERIFY(!a->savesOverNewerText("7"));
        QVERIFY(answerNotes(*a, notesXml({{"7", "v1"}})));
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("v1 and more"));
        QVERIFY(!a->savesOverNewerText("7"));
    }

    // Add as new note from a draft: typing that went on meanwhile stays a draft; offline, the
    // add is refused before anything is sent.
    void draftAddedAsNoteKeepsLaterTyping()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}})));
        QSignalSpy done(a.get(), &NotesAccount::draftDone);
        a->noteShown("7");
        a->noteEdited("7", "first");
        QVERIFY(a->addDraftAsNote("7"));
        QCOMPARE(field(transport->at(last("add_note")).body, "note"), QStringLiteral("first"));
        a->noteEdited("7", "first and then");
        QVERIFY(transport->answerJson(R"({"success":1,"NoteID":8})", last("add_note")));
        QVERIFY(a->drafts().draft("7"));
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("first and then"));
        QVERIFY(done.isEmpty());
        QVERIFY(a->addDraftAsNote("7"));
        QVERIFY(transport->answerJson(R"({"success":1,"NoteID":9})", last("add_note")));
        QVERIFY(!a->drafts().draft("7") && done.size() == 1);

        a->noteEdited("7", "offline");
        QVERIFY(transport->failTransport("Connection refused", last("xml_notes")));
        a->reconnect();
        QVERIFY(transport->failTransport("Connection refused", lastLogin()));
        QVERIFY(a->isOffline());
        const int sent = transport->count();
        QVERIFY(!a->addDraftAsNote("7"));
        QCOMPARE(transport->count(), sent);
    }

    // Notes that vanish: one the user deleted leaves no draft behind; one deleted elsewhere while
    // the user edits it keeps the text in the editor as a draft, and says so.
    void vanishedNotes()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}, {"8", "eight"}})));
        ViewController view;
        view.setAccount(a.get());
        view.tableView()->selectRow(a->rows().indexOf(*a->note("7")));
        QTest::keyClicks(view.noteTextView(), "typed");
        view.actions().remove->trigger();
        QVERIFY(transport->answerJson(Ok, last("delete_note")));
        QVERIFY(answerNotes(*a, notesXml({{"8", "eight"}})));
        QVERIFY(!a->drafts().draft("7") && !view.currentNote());
        QVERIFY(view.noteTextView()->isReadOnly());

        view.tableView()->selectRow(0);
        view.noteTextView()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view.noteTextView(), " edited");
        a->search({}, {}, {});
        QVERIFY(transport->answerXml("<notes></notes>", last("xml_notes")));
        WAIT_FOR(a->feed().isIdle() && a->rows().isEmpty());
        QCOMPARE(view.currentNote()->id, QStringLiteral("8"));
        QCOMPARE(view.editorText(), QStringLiteral("eight edited"));
        QVERIFY(!view.noteTextView()->isReadOnly());
        QCOMPARE(a->drafts().draft("8")->text, QStringLiteral("eight edited"));
        QCOMPARE(alerts.size(), 1);
        QVERIFY(alerts.first().contains("no longer on the server"));
    }

    // The save-over question is answered later; a reload meanwhile that removes the note or
    // moves the selection sends nothing.
    void questionAnsweredAfterAReload_data()
    {
        QTest::addColumn<bool>("noteRemoved");
        QTest::newRow("the note is gone") << true;
        QTest::newRow("another note is selected") << false;
    }
    void questionAnsweredAfterAReload()
    {
        QFETCH(bool, noteRemoved);
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}, {"8", "eight"}})));
        ViewController view;
        view.setAccount(a.get());
        view.tableView()->selectRow(0);
        view.noteTextView()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view.noteTextView(), " mine");
        a->search({}, {}, {});
        QVERIFY(answerNotes(*a, notesXml({{"7", "changed elsewhere"}, {"8", "eight"}})));
        view.actions().save->trigger();
        auto* question = qobject_cast<QMessageBox*>(view.openQuestion());
        QVERIFY(question && question->isVisible());
        if (noteRemoved) {
            a->search({}, {}, {});
            QVERIFY(answerNotes(*a, notesXml({{"8", "eight"}})));
        } else {
            view.tableView()->selectRow(1);
        }
        const int sent = transport->count();
        question->button(QMessageBox::Save)->click();
        QCOMPARE(transport->count(), sent);
        QCOMPARE(last("edit_note"), -1);
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("seven mine"));
    }

    // Two New notes in a row: the second add's reload leaves the note the user types in.
    void secondNewNoteLeavesTheTyping()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}})));
        ViewController view;
        view.setAccount(a.get());
        view.actions().add->trigger();
        view.actions().add->trigger();
        QVERIFY(transport->answerJson(R"({"success":1,"NoteID":101})", last("add_note")));
        QVERIFY(answerNotes(*a, notesXml({{"7", "seven"}, {"101", " "}})));
        QCOMPARE(view.currentNote()->id, QStringLiteral("101"));
        QTest::keyClicks(view.noteTextView(), "abc");
        QVERIFY(transport->answerJson(R"({"success":1,"NoteID":102})", last("add_note")));
        QVERIFY(answerNotes(*a, notesXml({{"7", "seven"}, {"101", " "}, {"102", " "}})));
        QCOMPARE(view.currentNote()->id, QStringLiteral("101"));
        QCOMPARE(view.editorText(), QStringLiteral("abc"));
    }

    // A login the server cannot answer now is tried again (when it says, after Retry-After,
    // within 2 to 60 s); one it answers otherwise points at the host and the path, once.
    void loginFailuresByClass_data()
    {
        QTest::addColumn<ApiAnswer>("answer");
        QTest::addColumn<int>("retryMs"); // -1: no retry
        QTest::addColumn<QString>("alert");
        const auto status = [](int code, const QByteArray& retryAfter = {}) {
            ApiAnswer answer{false, {}, code, false, {}, {}};
            answer.retryAfter = retryAfter;
            return answer;
        };
        QTest::newRow("no connection")
            << ApiAnswer{true, "Connection refused", 0, false, {}, {}} << 2000 << QString();
        QTest::newRow("503, Retry-After in seconds") << status(503, "7") << 7000 << QString();
        QTest::newRow("429 asks longer than the longest pause")
            << status(429, "600") << 60000 << QString();
        QTest::newRow("408 asks shorter than the shortest")
            << status(408, "0") << 2000 << QString();
        const QByteArray date = QDateTime::currentDateTimeUtc()
                                    .addSecs(20)
                                    .toString("ddd, dd MMM yyyy hh:mm:ss 'GMT'")
                                    .toLatin1();
        QTest::newRow("500, Retry-After as an HTTP date")
            << status(500, date) << 20000 << QString();
        QTest::newRow("404: a wrong path") << status(404) << -1 << "HTTP status 404";
        QTest::newRow("302: another address") << status(302) << -1 << "HTTP status 302";
        QTest::newRow("a web page, not a login answer")
            << ApiAnswer{false, {}, 200, true, "text/html", "<html></html>"} << -1
            << "did not answer like a notes server";
    }
    void loginFailuresByClass()
    {
        QFETCH(ApiAnswer, answer);
        QFETCH(int, retryMs);
        QFETCH(QString, alert);
        auto a = makeAccount("a.test");
        QVERIFY(a->signIn());
        QVERIFY(transport->answer(answer, lastLogin()));
        QCOMPARE(a->isOffline(), retryMs >= 0);
        QVERIFY2(qAbs(a->retryInMs() - retryMs) <= 1500,
                 qPrintable(QString::number(a->retryInMs())));
        QCOMPARE(alerts.size(), alert.isEmpty() ? 0 : 1);
        QVERIFY(alerts.join('\n').contains(alert));
        QVERIFY(!a->canChangeNotes());
    }

    // A 5xx to a command may come after the server acted: the list is loaded again. Any other
    // status means it was not done: no reload. Either way the text stays a draft.
    void commandStatusByClass_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("reloads");
        QTest::newRow("502 from a proxy") << 502 << true;
        QTest::newRow("500") << 500 << true;
        QTest::newRow("429") << 429 << false;
        QTest::newRow("403") << 403 << false;
        QTest::newRow("301") << 301 << false;
    }
    void commandStatusByClass()
    {
        QFETCH(int, status);
        QFETCH(bool, reloads);
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}})));
        const int listed = last("xml_notes");
        a->noteShown("7");
        QVERIFY(a->save("7", "mine", {}, {}));
        QVERIFY(transport->answerStatus(status, {}, last("edit_note")));
        QCOMPARE(last("xml_notes") != listed, reloads);
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("mine"));
        QCOMPARE(last("edit_note"), transport->count() - (reloads ? 2 : 1)); // not sent again
    }

    // The lists load apart: a client list that fails holds back neither the projects nor the
    // notes, and is asked again at the next search.
    void failedListHoldsNothingBack()
    {
        auto a = makeAccount("a.test");
        QVERIFY(a->signIn() && answerLogin("s1"));
        QVERIFY(last("xml_clients") >= 0 && last("xml_projects") >= 0 && last("xml_notes") >= 0);
        QVERIFY(transport->answerStatus(500, {}, last("xml_clients")));
        QVERIFY(transport->answerXml(Projects, last("xml_projects")));
        QVERIFY(answerNotes(*a, notesXml({{"7", "seven"}})));
        QVERIFY(a->canChangeNotes());
        const int failed = last("xml_clients");
        a->search({}, {}, {});
        QVERIFY(last("xml_clients") > failed);
        const int projects = last("xml_projects");
        QVERIFY(transport->answerXml(Clients, last("xml_clients")));
        a->search({}, {}, {});
        QCOMPARE(last("xml_projects"), projects); // loaded, not asked again
    }

    // Offline, the login is tried again after pauses that double up to the longest; Reconnect
    // tries at once. The buttons say why they wait.
    void retriesDoubleAndReconnectTriesAtOnce()
    {
        auto a = makeAccount("a.test");
        ViewController view;
        view.setAccount(a.get());
        QVERIFY(a->signIn());
        QList<int> pauses;
        for (int i = 0; i < 7; ++i) {
            QVERIFY(transport->failTransport("Connection refused", lastLogin()));
            pauses << a->retryInMs();
            a->reconnect(); // what the timer does when it fires
        }
        QCOMPARE(pauses, (QList<int>{2000, 4000, 8000, 16000, 32000, 60000, 60000}));
        QVERIFY(a->isOffline() && !view.actions().add->isEnabled());
        QVERIFY(view.findChild<QPushButton*>("addButton")->toolTip().contains("cannot be reached"));
        const int logins = transport->count();
        view.actions().reconnect->trigger();
        QCOMPARE(transport->count(), logins + 1);
        QVERIFY(answerLogin("s1"));
        QVERIFY(!a->isOffline() && a->retryInMs() < 0);
        QVERIFY(a->canChangeNotes());
        QVERIFY(view.findChild<QPushButton*>("addButton")->toolTip().isEmpty());
    }

    // What the view does with drafts: kept after a pause in typing; Cancel at the question sends
    // nothing; Discard in the Drafts dialog drops the draft and shows the saved text again.
    void draftsThroughTheView()
    {
        NotesAccount::setDraftDelay(30);
        auto a = makeAccount("a.test");
        NotesAccount::setDraftDelay(NotesAccount::DraftDelayMs);
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}})));
        ViewController view;
        view.setAccount(a.get());
        view.tableView()->selectRow(0);
        view.noteTextView()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view.noteTextView(), " typed");
        QVERIFY(!a->drafts().draft("7"));
        WAIT_FOR(a->drafts().draft("7"));
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("seven typed"));

        a->search({}, {}, {});
        QVERIFY(answerNotes(*a, notesXml({{"7", "changed elsewhere"}})));
        view.actions().save->trigger();
        auto* question = qobject_cast<QMessageBox*>(view.openQuestion());
        QVERIFY(question);
        question->button(QMessageBox::Cancel)->click();
        QCOMPARE(last("edit_note"), -1);
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("seven typed"));

        view.actions().drafts->trigger();
        QVERIFY(view.draftsDialog());
        view.draftsDialog()->findChild<QPushButton*>("discardButton")->click();
        QVERIFY(!a->drafts().draft("7"));
        QCOMPARE(view.editorText(), QStringLiteral("changed elsewhere"));
    }

    // New note for the client keeps the client and gives the project "0"; for the project the
    // other way round; the plain New gives both "0". The text is one space.
    void newNoteBodies()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}})));
        const QList<std::tuple<bool, bool, QString, QString>> cases{{true, false, "3", "0"},
                                                                    {false, true, "0", "12"},
                                                                    {false, false, "0", "0"},
                                                                    {true, true, "3", "12"}};
        for (const auto& [keepClient, keepProject, client, project] : cases) {
            QVERIFY(a->add("7", keepClient, keepProject));
            const QByteArray body = transport->at(last("add_note")).body;
            QVERIFY(body.endsWith("&note=%20&ProjectID=" + project.toLatin1() +
                                  "&ClientID=" + client.toLatin1()));
            QVERIFY(transport->answerJson(Ok, last("add_note")));
        }
    }

    // A list typed application/xml is not taken for XML: it goes the JSON way and fails there.
    // The offline copy's file is the owner's alone, and Forget offline copy deletes it. A text
    // key without a text shows as the key itself.
    void smallPromises()
    {
        auto a = makeAccount("a.test");
        QVERIFY(a->signIn() && answerLogin("s1"));
        PrintedLines printed;
        QVERIFY(transport->answerBody(Clients, "application/xml", last("xml_clients")));
        QVERIFY(a->clientlist().clientObjects().isEmpty());
        QCOMPARE(printed.lines().filter("cannot be read").size(), 1);
        QVERIFY(transport->answerXml(Projects, last("xml_projects")));
        QVERIFY(answerNotes(*a, notesXml({{"7", "seven"}})));
        const QString copy = a->cache().filePath();
        a.reset();
        QCOMPARE(QFile::permissions(copy) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

        auto b = makeAccount("a.test");
        QVERIFY(b->signIn() && b->showsOfflineCopy());
        b->forgetCopy();
        QVERIFY(!b->showsOfflineCopy() && b->rows().isEmpty());
        b.reset();
        auto c = makeAccount("a.test");
        QVERIFY(c->signIn() && !c->showsOfflineCopy());
        QCOMPARE(Localization::text("no_such_key_anywhere"),
                 QStringLiteral("no_such_key_anywhere"));
    }

    // Three lists that learn together that the session is gone share one login, and each is
    // sent once more after it; one that comes back after that login is sent again at once. Only
    // the first login opens connections, one for each list, before the login goes out.
    void oneLoginForEveryLostSession()
    {
        auto a = makeAccount("a.test");
        QVERIFY(a->signIn());
        QCOMPARE(transport->opened().size(), 1);
        QCOMPARE(transport->opened().first().count, 3);
        QCOMPARE(transport->opened().first().requestsBefore, lastLogin());
        QCOMPARE(transport->opened().first().url, transport->at(lastLogin()).url);
        QVERIFY(answerLogin("s1"));
        PrintedLines printed;
        const QByteArray lost = R"({"success":0,"error_code":2,"error_message":"-"})";
        QVERIFY(transport->answerJson(lost, last("xml_clients")));
        QVERIFY(transport->answerJson(lost, last("xml_projects")));
        const int logins = lastLogin();
        QVERIFY(answerLogin("s2"));
        QVERIFY(transport->answerJson(lost, last("xml_notes"))); // went out with s1
        QCOMPARE(lastLogin(), logins);                           // one login for all three
        QCOMPARE(printed.lines().filter("login.php").size(), 1);
        for (const char* action : {"xml_clients", "xml_projects", "xml_notes"}) {
            int sent = 0;
            for (int i = 0; i < transport->count(); ++i)
                if (field(transport->at(i).body, "action") == QLatin1String(action))
                    sent += field(transport->at(i).body, "PHPSESSID") == "s2";
            QVERIFY2(sent == 1, action);
        }
        QCOMPARE(transport->opened().size(), 1);
    }

    // Losses that cannot be avoided are said in the window: a draft not written, and drafts
    // files set aside, each under a name of its own.
    void lossesAreSaid()
    {
        auto a = makeAccount("a.test");
        QVERIFY(signInLoaded(*a, notesXml({{"7", "seven"}})));
        // A folder where the drafts file should be: no write can replace it.
        const QString file = a->drafts().filePath();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file + "/blocked"));
        a->noteShown("7");
        a->noteEdited("7", "unwritable");
        a->keepDraft();
        QCOMPARE(alerts.size(), 1);
        QVERIFY(alerts.first().contains("could not be written"));
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("unwritable"));
        // A draft whose note the list lacks (beyond the notes loaded): said, and it stays said.
        a->openDraft("99");
        QVERIFY(answerNotes(*a, notesXml({{"7", "seven"}})));
        QCOMPARE(alerts.size(), 2);
        QVERIFY(alerts.last().contains("not in the list"));
        // Forgetting the copy keeps what was typed.
        a->noteEdited("7", "typed before forgetting");
        a->forgetCopy();
        QCOMPARE(a->drafts().draft("7")->text, QStringLiteral("typed before forgetting"));
        a.reset();
        QVERIFY(QDir(file).removeRecursively());
        for (int i = 0; i < 2; ++i) {
            QFile garbage(file);
            QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("not json") > 0);
            garbage.close();
            auto again = makeAccount("a.test");
            QVERIFY(again->signIn());
        }
        const QFileInfo info(file);
        QCOMPARE(info.dir().entryList({info.fileName() + ".*.unreadable"}).size(), 2);
        QCOMPARE(alerts.filter("set aside").size(), 2);
    }
};

QTEST_MAIN(TestAccount)
#include "tst_account.moc"
