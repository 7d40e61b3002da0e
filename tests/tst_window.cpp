// The application as a user meets it, end to end against the substitute server.

#include "AccountFiles.h"
#include "ApiRequest.h"
#include "AppDelegate.h"
#include "ClientList.h"
#include "DataEndpoint.h"
#include "DraftStore.h"
#include "DraftsDialog.h"
#include "Engine.h"
#include "ListRequest.h"
#include "Localization.h"
#include "Mail.h"
#include "MailComposer.h"
#include "MainWindow.h"
#include "MemberCenter.h"
#include "NotesAccount.h"
#include "NotesCache.h"
#include "NotesFeed.h"
#include "NotesTableModel.h"
#include "PasswordStore.h"
#include "PreferencesViewController.h"
#include "SettingsStore.h"
#include "ViewController.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

static const QString XmlLine = QLatin1String(ListRequest::XmlLine);

struct RecordingComposer : MailComposer
{
    QStringList calls;
    void setRecipients(const QStringList& r) override { calls << "to:" + r.join(','); }
    void setSubject(const QString& s) override { calls << "subject:" + s; }
    void performWithItems(const QStringList& i) override { calls << "body:" + i.join('|'); }
};

class WindowTest : public QObject
{
    Q_OBJECT

    TestServer server;
    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<AppDelegate> app;

    MainWindow& window() { return *app->mainWindow(); }
    ViewController& view() { return *window().viewController(); }
    NotesAccount& account() { return *view().account(); }
    NotesFeed& feed() { return account().feed(); }
    const QList<Note>& notes() { return view().tableModel()->notes(); }
    QComboBox* combo(const char* name) { return view().findChild<QComboBox*>(name); }
    QPlainTextEdit* editor() { return view().noteTextView(); }
    QByteArray session() { return account().membercenter().PHPSESSID().toUtf8(); }
    QString current() { return view().currentNote() ? view().currentNote()->id : QString(); }
    void press(const char* button) { press(&view(), button); }
    static void press(QWidget* root, const char* button)
    {
        root->findChild<QPushButton*>(button)->click();
    }
    void launch() { (app = std::make_unique<AppDelegate>())->applicationDidFinishLaunching(); }
    QString status() { return window().statusText(); }

    // Adds a note as another client of the same account would.
    bool addFromElsewhere(const QString& text)
    {
        NotesFeed elsewhere(account().membercenter());
        Note note;
        note.note = text;
        note.clientId = note.projectId = QStringLiteral("0");
        elsewhere.actionAddXMLItem(note);
        if (!QTest::qWaitFor([&] { return elsewhere.isIdle(); }, 20000))
            return false;
        view().actions().search->trigger();
        return QTest::qWaitFor([&] { return feed().isIdle(); }, 20000);
    }

    bool launchLoaded()
    {
        launch();
        const auto loaded = [this] { return !notes().isEmpty() && feed().isIdle(); };
        return QTest::qWaitFor(loaded, 20000) && server.clearRequests();
    }

    int rowWith(const std::function<bool(const Note&)>& wanted)
    {
        const auto it = std::ranges::find_if(notes(), wanted);
        return it == notes().end() ? -1 : int(it - notes().begin());
    }
    int rowOf(const QString& id)
    {
        return rowWith([&](const Note& n) { return n.id == id; });
    }

    static bool isLinked(const Note& n) { return n.clientId.toInt() && n.projectId.toInt(); }

    bool select(int row)
    {
        if (row >= 0)
            view().tableView()->selectRow(row);
        return row >= 0 && current() == notes().at(row).id;
    }

    // Types at the end of the editor's text, as a paste would.
    void typeAtEnd(const QString& text)
    {
        editor()->moveCursor(QTextCursor::End);
        editor()->insertPlainText(text);
    }

    // Presses a button and waits until the command and the reload after it are done.
    bool pressAndWait(const char* button)
    {
        press(button);
        return QTest::qWaitFor([this] { return feed().isIdle(); }, 20000);
    }

    QString serverText(const QString& id)
    {
        for (const QJsonValue& note : server.notes())
            if (note["id"].toVariant().toString() == id)
                return note["note"].toString();
        return QStringLiteral("<no such note>");
    }

    QByteArray onlyBody(const char* action)
    {
        const QList<QByteArray> bodies = server.requestBodies(QLatin1String(action));
        return bodies.size() == 1 ? bodies.first() : QByteArray("<not exactly one request>");
    }

    bool hasDraftMark(int row)
    {
        return view()
            .tableModel()
            ->index(row, 2)
            .data(Qt::ToolTipRole)
            .toString()
            .contains("Unsaved draft");
    }

    static QStringList offlineLines()
    {
        return Engine().connectedToNetwork()
                   ? QStringList()
                   : QStringList{Localization::text(Localization::NetworkConnectionRequired),
                                 QLatin1String(Engine::OfflineLine)};
    }

private slots:
    void initTestCase()
    {
        NotesAccount::setReconnectDelays(200, 400);
        QVERIFY(server.start());
    }

    void init()
    {
        if (server.port() == 0) // a test that stopped it failed before starting it again
            QVERIFY(server.start());
        (settings = std::make_unique<TestSettings>())->save(server.host(), "demo", "demo");
        QVERIFY(server.clearFaults() && server.clearRequests());
    }

    void cleanup()
    {
        app.reset();
        Mail::setDefaultComposer(nullptr);
    }

    void startUpSearchAndEveryAppearance()
    {
        PrintedLines printed;
        QVERIFY(launchLoaded());
        const QStringList expected =
            QStringList{QLatin1String(ViewController::AppearedLine)}
            << offlineLines() << QStringLiteral("https://%1/api/login.php").arg(server.host())
            << QStringLiteral("login=demo&password=********")
            << QLatin1String(DataEndpoint::LoggedInLine) << XmlLine << XmlLine << XmlLine;
        // Standard output holds the fixed lines alone; that no keychain answers here is said once,
        // on standard error.
        QCOMPARE(printed.lines(), expected);
        QCOMPARE(printed.diagnosed().count(QLatin1String(PasswordStore::FallbackLine)), 1);

        QComboBox* clients = combo("clientPopUpButton");
        QCOMPARE(clients->itemText(0), QStringLiteral("Client"));
        QCOMPARE(clients->count(), account().clientlist().clientObjects().size() + 1);
        QCOMPARE(clients->itemText(1), account().clientlist().clientObjects().first()->name);
        QCOMPARE(combo("projectPopUpButton")->itemText(0), QStringLiteral("Project"));
        QVERIFY(combo("projectPopUpButton")->count() > 1);

        QAbstractItemModel* model = view().tableView()->model();
        QCOMPARE(model->rowCount(), server.notes().size());
        const Note& first = notes().first();
        QCOMPARE(model->index(0, 0).data().toString(), first.client);
        QCOMPARE(model->index(0, 1).data().toString(), first.project);
        QCOMPARE(model->index(0, 2).data().toString(), NotesTableModel::cellText(first.note));
        QCOMPARE(status(), QStringLiteral("%1 notes loaded.").arg(notes().size()));

        // Each keyword filters; the first search is slow enough to show the busy indicator.
        QVERIFY(!window().busyIndicatorVisible());
        QVERIFY(
            server.delayAnswer({{"action", "xml_notes"}}, MainWindow::BusyIndicatorDelayMs + 300));
        const QList<std::tuple<QLineEdit*, QString Note::*, QString>> fields{
            {view().clientSearchField(), &Note::client, u"žilina"_qs},
            {view().projectSearchField(), &Note::project, u"strech"_qs},
            {view().noteSearchField(), &Note::note, u"poznámka"_qs}};
        for (const auto& [searched, member, keyword] : fields) {
            for (const auto& field : fields)
                std::get<0>(field)->setText(std::get<0>(field) == searched ? keyword : QString());
            printed.clear();
            QTest::keyClick(searched, Qt::Key_Return);
            if (searched == view().clientSearchField())
                WAIT_FOR(window().busyIndicatorVisible());
            WAIT_FOR(printed.contains(XmlLine) && !window().busyIndicatorVisible() &&
                     feed().isIdle());
            QVERIFY(!notes().isEmpty() && notes().size() < server.notes().size());
            for (const Note& note : notes())
                QVERIFY((note.*member).contains(keyword, Qt::CaseInsensitive));
        }

        // Every appearance logs in and loads again, the notes with the last keywords.
        QVERIFY(server.clearRequests());
        window().hide();
        printed.clear();
        window().show();
        WAIT_FOR(printed.count(XmlLine) == 3 && feed().isIdle());
        QCOMPARE(printed.lines().first(), QLatin1String(ViewController::AppearedLine));
        QStringList scripts;
        for (const QJsonValue& request : server.requests())
            scripts << request.toObject().value("script").toString();
        // The login first; then the three lists, which go out together.
        QCOMPARE(scripts.value(0), QStringLiteral("login.php"));
        scripts.sort();
        QCOMPARE(scripts, (QStringList{"client.php", "login.php", "notes.php", "project.php"}));
        QVERIFY(onlyBody("xml_notes")
                    .contains("&noteKeyword=" + QUrl::toPercentEncoding(u"poznámka"_qs) + "&"));
    }

    void incompleteSettingsOpenThePreferencesWhereEveryControlHasAName()
    {
        settings->save(QString(), QStringLiteral("demo"), QStringLiteral("demo"));
        PrintedLines printed;
        launch();
        WAIT_FOR(window().preferences() && window().preferences()->isVisible());
        const QStringList expected = QStringList{QLatin1String(ViewController::AppearedLine)}
                                     << offlineLines()
                                     << QStringLiteral("Enter the server name in Preferences.");
        QCOMPARE(printed.lines().mid(0, expected.size()), expected);
        QCOMPARE(server.requests().size(), 0);

        for (QWidget* root : QList<QWidget*>{&window(), window().preferences()})
            for (QWidget* control : root->findChildren<QWidget*>())
                if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPushButton*>(control) ||
                    qobject_cast<QComboBox*>(control) || qobject_cast<QPlainTextEdit*>(control) ||
                    qobject_cast<QTableView*>(control))
                    QVERIFY2(!control->accessibleName().isEmpty(),
                             qPrintable(control->objectName()));
        for (int column : {0, 1, 2})
            QCOMPARE(view().tableView()->model()->headerData(column, Qt::Horizontal).toString(),
                     (QStringList{"Client", "Project", "Note"}.at(column)));
    }

    // A cell shows the first line that holds text and a sign when more text follows it.
    void firstLineOfANote()
    {
        const QList<QPair<QString, QString>> cases{
            {"", ""},
            {"\nabc", "abc"},
            {"a\r\nb", u"a \u2026"_qs},
            {" \r\n\t\n  first\nsecond", u"  first \u2026"_qs},
            {" \n \n", " "},
            {"whole", "whole"},
            {"a\f  \n", "a"},
            {u"a\u2028b"_qs, u"a \u2026"_qs},
            {u"a\u0085b"_qs, u"a \u2026"_qs}};
        for (const auto& [text, shown] : cases)
            QCOMPARE(NotesTableModel::cellText(text), shown);
    }

    // Selection shows the note; Mail hands over its stored text, Save the editor's text and the
    // chosen client. With nothing selected the editor is read-only and the note actions are off.
    void selectMailAndSave()
    {
        RecordingComposer composer;
        Mail::setDefaultComposer(&composer);
        QVERIFY(launchLoaded());
        QVERIFY(editor()->isReadOnly() && !view().actions().save->isEnabled());
        for (const char* button : {"saveButton", "deleteButton", "mailButton", "addToBothButton"})
            QVERIFY(!view().findChild<QPushButton*>(button)->isEnabled());
        PrintedLines printed;
        const int linked = rowWith(isLinked);
        QVERIFY(select(linked));
        const Note stored = notes().at(linked);
        QCOMPARE(printed.lines(),
                 QStringList{QStringLiteral("selected row by arrow key: %1").arg(linked)});
        QCOMPARE(editor()->toPlainText(), stored.note);
        QCOMPARE(combo("clientPopUpButton")->currentText(), stored.client);
        typeAtEnd(QStringLiteral(" edited, not saved"));
        press("mailButton");
        QCOMPARE(composer.calls,
                 (QStringList{"to:", "subject:" + stored.project, "body:" + stored.note}));
        QVERIFY(select(rowWith([](const Note& n) { return n.client.isEmpty(); })));
        QCOMPARE(combo("clientPopUpButton")->currentIndex(), 0);

        // The placeholder keeps the project; the client comes from the pick-list.
        QVERIFY(select(linked));
        const auto& clients = account().clientlist().clientObjects();
        const auto other = std::ranges::find_if(
            clients, [&](const auto& c) { return !c->name.contains(stored.client); });
        QVERIFY(other != clients.end());
        const Client client = **other;
        combo("clientPopUpButton")->setCurrentText(client.name);
        combo("projectPopUpButton")->setCurrentIndex(0);
        editor()->setPlainText(QStringLiteral("Nový text\ndruhý riadok"));
        printed.clear();
        QVERIFY(pressAndWait("saveButton"));
        QCOMPARE(printed.lines(), (QStringList{NotesFeed::SavedLine, XmlLine}));
        QCOMPARE(onlyBody("edit_note"),
                 "PHPSESSID=" + session() + "&action=edit_note&NoteID=" + stored.id.toUtf8() +
                     "&note=" + QUrl::toPercentEncoding(QStringLiteral("Nový text\ndruhý riadok")) +
                     "&ProjectID=" + stored.projectId.toUtf8() + "&ClientID=" + client.id.toUtf8());
        QCOMPARE(view().tableModel()->index(rowOf(stored.id), 0).data().toString(), client.name);
        QCOMPARE(status(), QStringLiteral("Note saved."));
    }

    void newNote_data()
    {
        QTest::addColumn<bool>("answersId");
        QTest::newRow("the add answer names the note") << true;
        QTest::newRow("the new note is the one the reload adds") << false;
    }

    // A new note is selected with the editor focused, so the typing goes into it and not into the
    // note selected before. Awkward texts reach the server byte for byte, and a save without a
    // change sends them back unchanged. A new note the search hides is said, not selected.
    void newNote()
    {
        QFETCH(bool, answersId);
        QVERIFY(server.setOptions({{"addNoteAnswersId", answersId}}));
        QVERIFY(launchLoaded());
        window().activateWindow();
        QVERIFY(select(rowWith(isLinked)));
        const Note before = *view().currentNote();
        QVERIFY(pressAndWait("addToBothButton"));
        QCOMPARE(onlyBody("add_note"), "PHPSESSID=" + session() + "&action=add_note&note=%20" +
                                           "&ProjectID=" + before.projectId.toUtf8() +
                                           "&ClientID=" + before.clientId.toUtf8());
        const QString added = current();
        QVERIFY(added != before.id && !added.isEmpty());
        QCOMPARE(view().tableView()->selectionModel()->selectedRows().value(0).row(), rowOf(added));
        QVERIFY(editor()->hasFocus());

        const QString awkward =
            u"\n  \u00a0lead\u2028in & < > + % = ]]> \ttab  \n\U0001F600\n\n"_qs +
            QString(10000, u'x') + u" \n"_qs;
        const QString typed = QTest::currentDataTag();
        QTest::keyClicks(editor(), typed);
        typeAtEnd(awkward);
        QVERIFY(pressAndWait("saveButton"));
        QCOMPARE(serverText(added), typed + awkward);
        QCOMPARE(serverText(before.id), before.note);
        QCOMPARE(current(), added);
        QVERIFY(server.clearRequests());
        QVERIFY(pressAndWait("saveButton"));
        QVERIFY(onlyBody("edit_note")
                    .contains("&note=" + QUrl::toPercentEncoding(typed + awkward) + "&ProjectID="));

        view().noteSearchField()->setText(typed);
        view().actions().search->trigger();
        WAIT_FOR(feed().isIdle() && notes().size() == 1);
        QVERIFY(pressAndWait("addButton"));
        QCOMPARE(status(), QStringLiteral("Note added; it is not in the current search"));
        QVERIFY(current().isEmpty() && editor()->isReadOnly());
    }

    // A note with CRLF line breaks from another client survives a save without change and keeps
    // CRLF when edited; a note a server sends as CDATA keeps its text.
    void foreignTextsSurviveASave()
    {
        QVERIFY(launchLoaded());
        const QString foreign = QStringLiteral("first\r\n\u00a0second \r\n");
        QVERIFY(addFromElsewhere(foreign));
        QVERIFY(select(rowWith([&](const Note& n) { return n.note == foreign; })));
        const QString id = current();
        QVERIFY(pressAndWait("saveButton"));
        QCOMPARE(serverText(id), foreign);
        typeAtEnd(QStringLiteral("third\nfourth"));
        QVERIFY(pressAndWait("saveButton"));
        QCOMPARE(serverText(id), foreign + "third\r\nfourth");

        QVERIFY(server.injectFault(
            {{"match", QJsonObject{{"action", "xml_notes"}}},
             {"contentType", "text/xml"},
             {"body", "<notes><item><NoteID>" + id +
                          "</NoteID><note>"
                          "<![CDATA[kept <b>]]></note><ProjectID value=\"0\"/><ClientID "
                          "value=\"0\"/></item></notes>"}}));
        view().actions().search->trigger();
        WAIT_FOR(feed().isIdle() && notes().size() == 1);
        QCOMPARE(editor()->toPlainText(), QStringLiteral("kept <b>"));
        QVERIFY(pressAndWait("saveButton"));
        QCOMPARE(serverText(id), QStringLiteral("kept <b>"));
    }

    // The selection follows its note when a reload moves it; Delete acts on the selected note
    // only, and after it nothing is selected, so a second press sends nothing.
    void selectionFollowsItsNote()
    {
        QVERIFY(launchLoaded());
        const QString id = notes().at(1).id;
        QVERIFY(select(1));
        QVERIFY(addFromElsewhere(QStringLiteral("from another client")));
        QCOMPARE(rowOf(id), 2);
        QCOMPARE(current(), id);
        QCOMPARE(view().tableView()->selectionModel()->selectedRows().value(0).row(), 2);
        QVERIFY(server.clearRequests());
        view().tableView()->setFocus();
        QTest::keyClick(view().tableView(), Qt::Key_Delete);
        WAIT_FOR(feed().isIdle() && rowOf(id) < 0);
        QVERIFY(current().isEmpty() && editor()->toPlainText().isEmpty() && editor()->isReadOnly());
        QTest::keyClick(view().tableView(), Qt::Key_Delete);
        QCOMPARE(account().pendingCommands(), 0); // nothing selected: nothing queued
        QCOMPARE(onlyBody("delete_note"),
                 "PHPSESSID=" + session() + "&action=delete_note&NoteID=" + id.toUtf8());
    }

    // The table shows what the server holds: a failed save leaves the row, keeps the typed text
    // as a draft and says why. A search while a save is under way cancels nothing.
    void failedSaveKeepsTheTextAndSearchesCancelNoSave()
    {
        QVERIFY(launchLoaded());
        QVERIFY(select(0));
        const Note stored = notes().at(0);
        typeAtEnd(QStringLiteral(" and more"));
        QVERIFY(server.injectFault(
            {{"match", QJsonObject{{"action", "edit_note"}}},
             {"body", R"({"success":0,"error_code":9,"error_message":"Zamknut\u00e9"})"}}));
        QVERIFY(pressAndWait("saveButton"));
        QCOMPARE(view().tableModel()->index(0, 2).data().toString(),
                 NotesTableModel::cellText(stored.note));
        QCOMPARE(serverText(stored.id), stored.note);
        QCOMPARE(view().editorText(), stored.note + " and more");
        QCOMPARE(status(),
                 u"Note not saved: the server refused it: Zamknuté. Your text is kept."_qs);
        QVERIFY(hasDraftMark(0));
        QVERIFY(
            server.injectFault({{"match", QJsonObject{{"action", "xml_notes"}}}, {"status", 500}}));
        view().actions().search->trigger();
        WAIT_FOR(feed().isIdle());
        QCOMPARE(status(),
                 QStringLiteral("The notes could not be loaded: the server answered with "
                                "HTTP status 500. The list shows what it showed before."));
        QCOMPARE(notes().at(0).id, stored.id);

        PrintedLines printed;
        QVERIFY(server.delayAnswer({{"action", "edit_note"}}, 400));
        press("saveButton");
        view().actions().search->trigger();
        WAIT_FOR(feed().isIdle() && printed.contains(NotesFeed::SavedLine));
        QVERIFY(!printed.contains(ApiRequest::CancelledDescription));
        QCOMPARE(serverText(stored.id), stored.note + " and more");
        QVERIFY(!hasDraftMark(rowOf(stored.id)) && !account().drafts().draft(stored.id));
    }

    // Edits not saved are kept as drafts when the user moves on or closes the window, come back at
    // the next start, are listed, reverted or added as a new note, and never sent by themselves.
    void editsBecomeDraftsThatComeBack()
    {
        QVERIFY(launchLoaded());
        const Note a = notes().at(0), b = notes().at(1);
        QVERIFY(select(0));
        typeAtEnd(QStringLiteral(" draft A"));
        QVERIFY(select(1));
        QVERIFY(hasDraftMark(0) && !hasDraftMark(1));
        QVERIFY(select(0));
        QCOMPARE(view().editorText(), a.note + " draft A");
        QVERIFY(select(1));
        typeAtEnd(QStringLiteral(" draft B"));
        const QString file = account().drafts().filePath();
        app.reset(); // closes the window at once

        QCOMPARE(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(launchLoaded());
        QVERIFY(hasDraftMark(0) && hasDraftMark(1));
        QVERIFY(select(1));
        QCOMPARE(view().editorText(), b.note + " draft B");
        view().actions().revert->trigger();
        QCOMPARE(view().editorText(), b.note);
        QVERIFY(!hasDraftMark(1));

        // A draft whose note the search hides is opened from the list of drafts.
        view().noteSearchField()->setText(QStringLiteral("no note holds this"));
        view().actions().search->trigger();
        WAIT_FOR(feed().isIdle() && notes().isEmpty());
        view().actions().drafts->trigger();
        DraftsDialog* drafts = view().draftsDialog();
        QCOMPARE(drafts->list()->count(), 1);
        drafts->findChild<QPushButton*>("openButton")->click();
        WAIT_FOR(feed().isIdle() && current() == a.id);
        QCOMPARE(view().editorText(), a.note + " draft A");
        QVERIFY(server.requestBodies("edit_note").isEmpty());
        drafts->findChild<QPushButton*>("addButton")->click();
        WAIT_FOR(feed().isIdle() && !account().drafts().draft(a.id));
        QVERIFY(
            onlyBody("add_note")
                .contains("&note=" + QUrl::toPercentEncoding(a.note + " draft A") + "&ProjectID="));
        QCOMPARE(serverText(a.id), a.note);
        QCOMPARE(drafts->list()->count(), 0);
    }
    // A note on an inactive client and project shows both names, marked, and a save keeps the
    // links. Sorting by creation time orders by the time, not its text; the selection and Delete
    // follow the note. Tab leaves the table for the editor. The status message is the status
    // label's accessible name.
    void inactiveLinksSortingKeyboardAndAccessibility()
    {
        QVERIFY(launchLoaded());
        const int archived = rowWith([](const Note& n) { return n.clientId == "5"; });
        QVERIFY(select(archived));
        const Note note = notes().at(archived);
        QCOMPARE(combo("clientPopUpButton")->currentText(), note.client + " (inactive)");
        QCOMPARE(combo("projectPopUpButton")->currentText(), note.project + " (inactive)");
        QVERIFY(pressAndWait("saveButton"));
        QVERIFY(onlyBody("edit_note").endsWith("&ProjectID=5&ClientID=5"));

        view().tableView()->sortByColumn(NotesTableModel::CreatedColumn, Qt::AscendingOrder);
        QStringList created;
        for (const Note& n : view().tableModel()->notes())
            created << n.createdText;
        QCOMPARE(created.mid(0, 3), (QStringList{"0000-00-00 00:00:00", "2016-12-31 23:59:59",
                                                 "2017-05-04 13:07:55"}));
        const QModelIndex cell = view().tableModel()->index(1, NotesTableModel::CreatedColumn);
        QCOMPARE(cell.data().toString(),
                 QLocale().toString(QDateTime(QDate(2016, 12, 31), QTime(23, 59, 59)),
                                    QLocale::ShortFormat));
        QCOMPARE(view().tableModel()->index(0, 3).data().toString(), QString());
        QCOMPARE(current(), note.id);
        QCOMPARE(view().tableView()->selectionModel()->selectedRows().value(0).row(), 1);

        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        view().tableView()->setFocus();
        QTest::keyClick(view().tableView(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor());
        view().tableView()->setFocus();
        QTest::keyClick(view().tableView(), Qt::Key_Delete);
        WAIT_FOR(feed().isIdle() && rowOf(note.id) < 0);
        QVERIFY(onlyBody("delete_note").endsWith("&NoteID=" + note.id.toUtf8()));
        QCOMPARE(status(), QStringLiteral("Note deleted."));
        // What a screen reader reads: the offscreen platform has no accessibility bridge to send
        // change events to, so the test asks the status label's interface as the bridge would.
        QAccessibleInterface* label = QAccessible::queryAccessibleInterface(
            window().findChild<QStatusBar*>()->findChild<QLabel*>());
        QCOMPARE(label->text(QAccessible::Name), status());
    }

    // The Slovak window has no English left: no text of the English window, its menus, the
    // preferences and the drafts is found in the Slovak one.
    void slovakWindowHasNoEnglishLeft()
    {
        settings->save(QString(), QStringLiteral("demo"), QStringLiteral("demo"));
        QList<QStringList> texts;
        for (const QLocale& locale : {QLocale(QLocale::English), QLocale(QLocale::Slovak)}) {
            Localization::install(locale);
            launch();
            WAIT_FOR(window().preferences());
            view().actions().drafts->trigger();
            QStringList shown;
            for (QWidget* root :
                 QList<QWidget*>{&window(), window().preferences(), view().draftsDialog()}) {
                shown << root->windowTitle();
                for (QWidget* w : root->findChildren<QWidget*>()) {
                    shown << w->accessibleName() << w->toolTip();
                    if (auto* button = qobject_cast<QAbstractButton*>(w))
                        shown << button->text();
                    if (auto* label = qobject_cast<QLabel*>(w))
                        shown << label->text();
                    if (auto* menu = qobject_cast<QMenu*>(w))
                        for (QAction* action : menu->actions())
                            shown << action->text();
                }
            }
            for (int column = 0; column < NotesTableModel::ColumnCount; ++column)
                shown << view().tableModel()->headerData(column, Qt::Horizontal).toString();
            texts << shown;
            app.reset();
        }
        Localization::install(QLocale(QLocale::English));
        QVERIFY(texts.at(0).size() > 50);
        for (const QString& english : texts.at(0))
            if (english.contains(QRegularExpression("[a-z]{3}")))
                QVERIFY2(!texts.at(1).contains(english), qPrintable(english));
    }

    // With the server gone, the next start shows the offline copy at once, marked; the copy is
    // searched locally, commands wait, typing makes drafts. When the server is back, the next
    // try reloads the rows; a draft begun on a text another client changed since is saved over
    // it only after a question.
    void offlineCopyUntilTheServerIsBack()
    {
        QVERIFY(launchLoaded());
        const QList<Note> loaded = notes();
        // Two notes of the demo data, which the server has again after its restart.
        const auto demo = [&](const char* text) {
            return loaded.value(rowWith([&](const Note& n) { return n.note == QString(text); }));
        };
        const Note a = demo("Obhliadka trasy obchvatu");
        const Note b = demo("Zavolať pánovi Kováčovi ohľadom strechy");
        app.reset();
        const QString port = QString::number(server.port());
        server.stop();

        launch();
        QCOMPARE(view().tableModel()->rowCount(), loaded.size());
        QVERIFY(view().offlineBannerText().startsWith("Offline copy from "));
        WAIT_FOR(account().isOffline());
        QVERIFY(!view().actions().save->isEnabled() && !view().actions().add->isEnabled());
        QVERIFY(view().offlineBannerText().contains("The server cannot be reached"));
        QVERIFY(select(rowOf(a.id)));
        typeAtEnd(QStringLiteral(" offline"));
        const QString keyword = b.note.mid(2, 6);
        view().noteSearchField()->setText(keyword.toUpper());
        view().actions().search->trigger();
        QVERIFY(rowOf(b.id) >= 0 && notes().size() < loaded.size());
        for (const Note& found : notes())
            QVERIFY(found.note.contains(keyword, Qt::CaseInsensitive));
        QVERIFY(account().drafts().draft(a.id));
        view().noteSearchField()->clear();
        view().actions().search->trigger();
        QVERIFY(select(rowOf(a.id)));

        QVERIFY(server.start({"--port", port}));
        NotesFeed elsewhere(account().membercenter());
        WAIT_FOR(!account().isOffline() && !account().showsOfflineCopy() && feed().isIdle());
        QVERIFY(view().offlineBannerText().isEmpty());
        Note changed = a;
        changed.note = QStringLiteral("changed elsewhere");
        elsewhere.actionSaveXMLItem(changed);
        WAIT_FOR(elsewhere.isIdle());
        view().actions().search->trigger();
        WAIT_FOR(feed().isIdle() && notes().value(rowOf(changed.id)).note == changed.note);
        QCOMPARE(current(), changed.id);
        QCOMPARE(view().editorText(), a.note + " offline");
        press("saveButton");
        QVERIFY(view().openQuestion() && server.clearRequests());
        view()
            .openQuestion()
            ->findChild<QDialogButtonBox*>()
            ->button(QDialogButtonBox::Save)
            ->click();
        WAIT_FOR(feed().isIdle() && server.requestBodies("edit_note").size() == 1);
        QCOMPARE(serverText(a.id), a.note + " offline");
    }

    void unusableOfflineCopy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("random bytes") << "random";
        QTest::newRow("an older schema") << "old";
        QTest::newRow("another account's file") << "foreign";
    }

    // An offline copy that cannot be used is set aside with one line; the client starts as usual.
    void unusableOfflineCopy()
    {
        QFETCH(QString, kind);
        const QString path =
            AccountFiles::filePath(QStandardPaths::GenericCacheLocation, server.host(), QString(),
                                   "demo", QString(), ".sqlite");
        if (kind == "foreign") {
            NotesCache other;
            other.openAccount(QStringLiteral("elsewhere"), QString(), "demo");
            other.storeNotes({Note{}}, true);
            other.waitForWrites();
            QVERIFY(QFile::rename(other.filePath(), path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kind == "random"
                           ? QByteArray(4096, '\x5a')
                           : QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 0));
        }
        PrintedLines printed;
        QVERIFY(launchLoaded());
        QCOMPARE(printed.diagnosed().filter("could not be used").size(), 1);
        QVERIFY(printed.lines().filter("could not be used").isEmpty());
        const QFileInfo copy(path);
        QCOMPARE(copy.dir().entryList({copy.fileName() + ".*.unreadable"}).size(), 1);
        QVERIFY(window().alertText().contains("set aside"));
        QCOMPARE(notes().size(), server.notes().size());
    }

    // Standard output holds the fixed lines alone, in their order, whatever else happens: a
    // refused login prints the server's message; a list answered 500 prints nothing; a save
    // whose answer is lost prints the transport's description, then the reload's line.
    void standardOutputHoldsTheFixedLinesAlone()
    {
        const QString url = QStringLiteral("https://%1/api/login.php").arg(server.host());
        const QString body = QStringLiteral("login=demo&password=********");
        const QString appeared = QLatin1String(ViewController::AppearedLine);
        settings->save(server.host(), "demo", "wrong");
        PrintedLines printed;
        launch();
        WAIT_FOR(!printed.lines().isEmpty() &&
                 printed.lines().last() == u"Nesprávne meno alebo heslo.");
        QCOMPARE(printed.lines(), QStringList{appeared} << offlineLines() << url << body
                                                        << u"Nesprávne meno alebo heslo."_qs);
        app.reset();

        settings->save(server.host(), "demo", "demo");
        QVERIFY(server.injectFault(
            QJsonObject{{"match", QJsonObject{{"action", "xml_clients"}}}, {"status", 500}}));
        printed.clear();
        launch();
        WAIT_FOR(printed.count(XmlLine) == 2 && feed().isIdle() && !notes().isEmpty());
        QTest::qWait(50);
        QCOMPARE(printed.lines(), QStringList{appeared} << offlineLines() << url << body
                                                        << QLatin1String(DataEndpoint::LoggedInLine)
                                                        << XmlLine << XmlLine);
        QVERIFY(printed.diagnosed().contains("the server answered with HTTP status 500"));

        QVERIFY(select(0));
        typeAtEnd(QStringLiteral(" lost"));
        QVERIFY(server.injectFault(
            QJsonObject{{"match", QJsonObject{{"action", "edit_note"}}}, {"drop", true}}));
        printed.clear();
        QVERIFY(pressAndWait("saveButton"));
        QCOMPARE(printed.lines().size(), 2);
        QVERIFY(!printed.lines().first().isEmpty());
        QCOMPARE(printed.lines().last(), XmlLine);
        QVERIFY(printed.diagnosed().contains(QLatin1String(NotesFeed::UnknownOutcomeLine)));
    }

    // Each class of failure once against a real server: a login answered 503 with Retry-After
    // is tried again; a 502 to a save loads the list again, a 429 does not; a login answered 404
    // is said once, pointing at the host and the path, and not tried again.
    void failureClassesEndToEnd()
    {
        QVERIFY(server.injectFault(QJsonObject{{"match", QJsonObject{{"script", "login.php"}}},
                                               {"status", 503},
                                               {"headers", QJsonObject{{"Retry-After", "1"}}}}));
        launch();
        WAIT_FOR(account().isOffline());
        QCOMPARE(account().retryInMs(), 400); // a second, within the test's longest pause
        WAIT_FOR(!account().isOffline() && !notes().isEmpty() && feed().isIdle());

        QVERIFY(select(0));
        for (const int code : {502, 429}) {
            QVERIFY(server.clearRequests());
            QVERIFY(server.injectFault(
                QJsonObject{{"match", QJsonObject{{"action", "edit_note"}}}, {"status", code}}));
            typeAtEnd(QString::number(code));
            QVERIFY(pressAndWait("saveButton"));
            QCOMPARE(server.requestBodies("xml_notes").size(), code == 502 ? 1 : 0);
            QVERIFY(code == 502 ? status().contains("may or may not")
                                : status().contains("HTTP status 429"));
            QVERIFY(account().drafts().draft(current()));
        }

        app.reset();
        QVERIFY(server.clearRequests());
        QVERIFY(server.injectFault(QJsonObject{
            {"match", QJsonObject{{"script", "login.php"}}}, {"status", 404}, {"count", -1}}));
        launch();
        WAIT_FOR(window().alertText().contains("HTTP status 404"));
        QVERIFY(window().alertText().contains("Preferences"));
        QTest::qWait(600); // longer than the test's longest pause between tries
        QCOMPARE(server.requestBodies().size(), 1);
        QVERIFY(!account().isOffline() && account().retryInMs() < 0);
        QVERIFY(server.clearFaults());
    }

    // Closing the window while a save is on its way asks first: waiting closes it once the
    // server has answered; quitting at once keeps the unsent text as a draft.
    void closingWithWorkInFlight()
    {
        QVERIFY(launchLoaded());
        const auto closeAndAnswer = [this](const QString& button) {
            QVERIFY(!window().close() && window().quitQuestion());
            for (QAbstractButton* b : window().quitQuestion()->findChildren<QAbstractButton*>())
                if (b->text() == button)
                    return b->click();
            QFAIL(qPrintable("no button " + button));
        };
        QVERIFY(select(0));
        const QString first = current();
        typeAtEnd(QStringLiteral(" waited for"));
        QVERIFY(server.delayAnswer({{"action", "edit_note"}}, 500));
        press("saveButton");
        QCOMPARE(account().pendingCommands(), 1);
        closeAndAnswer(QStringLiteral("Wait, then quit"));
        QVERIFY(window().isVisible());
        WAIT_FOR(!window().isVisible());
        QVERIFY(serverText(first).endsWith(" waited for"));

        window().show();
        WAIT_FOR(feed().isIdle() && !notes().isEmpty());
        QVERIFY(select(1));
        const QString second = current();
        QVERIFY(server.delayAnswer({{"action", "edit_note"}}, 5000));
        typeAtEnd(QStringLiteral(" sent"));
        press("saveButton");
        typeAtEnd(QStringLiteral(" and not sent"));
        press("saveButton"); // waits behind the first
        QCOMPARE(account().pendingCommands(), 2);
        closeAndAnswer(QStringLiteral("Quit now"));
        QVERIFY(!window().isVisible());
        QVERIFY(account().drafts().draft(second));
        QVERIFY(account().drafts().draft(second)->text.endsWith(" sent and not sent"));
    }

    // Two servers with the same NoteIDs. A Save and connect cancelled while it connects leaves
    // the window with the first server; a successful one switches, and a Delete queued behind a
    // slow save still goes to the first server only. No draft crosses, and the title says which
    // account is shown.
    void switchBetweenServersWithTheSameNoteIds()
    {
        QVERIFY(launchLoaded());
        TestServer other;
        QVERIFY(other.start());
        QVERIFY(window().windowTitle().contains("demo@" + server.host()));
        const auto connectTo = [this](const QString& host) {
            PreferencesViewController* preferences = window().showPreferences();
            preferences->serverTextField()->setText(host);
            press(preferences, "saveAndConnectButton");
            return preferences;
        };
        QVERIFY(other.delayAnswer({{"script", "login.php"}}, 2000));
        PreferencesViewController* preferences = connectTo(other.host());
        WAIT_FOR(other.requests().size() == 1);
        QTest::keyClick(preferences, Qt::Key_Escape);
        QCOMPARE(SettingsStore::shared().stringForKey(SettingsStore::Host), server.host());
        QCOMPARE(account().membercenter().host(), server.host());

        const int row = rowWith(isLinked);
        QVERIFY(select(row));
        const Note note = notes().at(row);
        typeAtEnd(QStringLiteral(" first server"));
        QVERIFY(server.delayAnswer({{"action", "edit_note"}}, 1000));
        press("saveButton");
        view().tableView()->setFocus();
        view().actions().remove->trigger();
        QCOMPARE(account().pendingCommands(), 2);
        QPointer<NotesAccount> first = &account();
        preferences = connectTo(other.host());
        WAIT_FOR(view().account() != first && feed().isIdle() && !notes().isEmpty());
        QVERIFY(window().windowTitle().contains("demo@" + other.host()));
        QVERIFY(!account().drafts().draft(note.id));
        WAIT_FOR(!first); // released once its queue was sent
        QCOMPARE(server.requestBodies("edit_note").size(), 1);
        QCOMPARE(server.requestBodies("delete_note").size(), 1);
        QVERIFY(other.requestBodies("edit_note").isEmpty() &&
                other.requestBodies("delete_note").isEmpty());
        QVERIFY(std::ranges::any_of(other.notes(), [&](const QJsonValue& n) {
            return n["id"].toVariant().toString() == note.id &&
                   !n["note"].toString().endsWith(" first server");
        }));
        QVERIFY(!std::ranges::any_of(server.notes(), [&](const QJsonValue& n) {
            return n["id"].toVariant().toString() == note.id;
        }));

        // The same host, path and login again: the same account takes up the new session.
        NotesAccount* same = &account();
        QVERIFY(other.clearRequests());
        connectTo(other.host());
        WAIT_FOR(other.requestBodies("xml_notes").size() == 1 && feed().isIdle());
        QCOMPARE(&account(), same);
    }

    // The preferences dialog refuses a malformed host or path before anything is stored or
    // sent, keeps a refused login open beside the fields, and closes on a successful connect to
    // another server, whose notes the window then shows. Escape saves nothing.
    void preferencesDialog()
    {
        QVERIFY(launchLoaded());
        TestServer other;
        QVERIFY(other.start());
        PreferencesViewController* preferences = window().showPreferences();
        QCOMPARE(preferences->serverTextField()->text(), server.host());
        QCOMPARE(preferences->passwordTextField()->echoMode(), QLineEdit::Password);
        WAIT_FOR(!account().membercenter().dataTask()); // the login of its appearance
        QVERIFY(server.clearRequests());
        const QList<QPair<QString, QString>> refused{
            {"", ""},       {"bad host", ""}, {"::1", ""},
            {"[::1", ""},   {"host:0", ""},   {"host:65536", ""},
            {"a..b", ""},   {"ok", " "},      {"ok", "@evil.example"},
            {"ok", "/a?b"}, {"ok", "/a#b"},   {"ok", "/a\\b"},
            {"ok", "/a b"}, {"ok", "/a\x01"}};
        for (const auto& [host, path] : refused) {
            preferences->serverTextField()->setText(host);
            preferences->pathTextField()->setText(path);
            press(preferences, "saveAndConnectButton");
            QVERIFY2(preferences->hostProblemText().isEmpty() == (host == "ok"), qPrintable(host));
            QVERIFY2(preferences->pathProblemText().isEmpty() == (host != "ok"), qPrintable(path));
        }
        QCOMPARE(SettingsStore::shared().stringForKey(SettingsStore::Host), server.host());
        QCOMPARE(server.requests().size() + other.requests().size(), 0);

        preferences->serverTextField()->setText("  " + other.host() + " ");
        preferences->pathTextField()->clear();
        preferences->passwordTextField()->setText(QStringLiteral("wrong"));
        press(preferences, "saveAndConnectButton");
        WAIT_FOR(preferences->findChild<QPushButton*>("saveAndConnectButton")->isEnabled());
        QVERIFY(preferences->isVisible() &&
                preferences->outcomeText().startsWith("Not signed in: "));
        QCOMPARE(QApplication::focusWidget(), preferences->passwordTextField());

        PrintedLines printed;
        preferences->passwordTextField()->setText(QStringLiteral("demo"));
        press(preferences, "saveAndConnectButton");
        WAIT_FOR(printed.count(XmlLine) == 3 &&
                 feed().isIdle()); // clients, projects and notes of the new server
        QVERIFY(!window().preferences() || !window().preferences()->isVisible());
        QCOMPARE(SettingsStore::shared().stringForKey(SettingsStore::Host), other.host());
        QCOMPARE(notes().size(), other.notes().size());
        QCOMPARE(server.requests().size(), 0);

        preferences = window().showPreferences();
        preferences->loginTextField()->setText(QStringLiteral("someone else"));
        QTest::keyClick(preferences, Qt::Key_Escape);
        QVERIFY(!window().preferences() || !window().preferences()->isVisible());
        QCOMPARE(SettingsStore::shared().stringForKey(SettingsStore::Login),
                 QStringLiteral("demo"));
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
