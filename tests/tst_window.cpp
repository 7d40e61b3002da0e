// The application as a user meets it, end to end against the substitute server.

#include "AppDelegate.h"
#include "ClientList.h"
#include "DataEndpoint.h"
#include "Engine.h"
#include "ListRequest.h"
#include "Localization.h"
#include "Mail.h"
#include "MailComposer.h"
#include "MainWindow.h"
#include "MemberCenter.h"
#include "NotesFeed.h"
#include "NotesTableModel.h"
#include "PreferencesViewController.h"
#include "SettingsStore.h"
#include "ViewController.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"
#include "support/Wait.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
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
    NotesFeed& feed() { return view().feed(); }
    const QList<NoteRef>& notes() { return feed().noteObjects(); }
    QComboBox* combo(const char* name) { return view().findChild<QComboBox*>(name); }
    QByteArray session() { return view().membercenter().PHPSESSID().toUtf8(); }

    void launch() { (app = std::make_unique<AppDelegate>())->applicationDidFinishLaunching(); }

    bool launchLoaded()
    {
        launch();
        const auto loaded = [this] { return !notes().isEmpty() && !feed().endpoint().dataTask(); };
        return QTest::qWaitFor(loaded, 20000) && server.clearRequests();
    }

    int rowWith(const std::function<bool(const Note&)>& wanted)
    {
        const auto it = std::ranges::find_if(notes(), [&](const NoteRef& n) { return wanted(*n); });
        return it == notes().end() ? -1 : int(it - notes().begin());
    }

    static bool isLinked(const Note& n) { return n.clientId.toInt() && n.projectId.toInt(); }

    bool select(int row)
    {
        if (row >= 0)
            view().tableView()->setCurrentIndex(view().tableModel()->index(row, 0));
        return row >= 0 && feed().note() == notes().at(row);
    }

    QByteArray onlyBody(const char* action)
    {
        const QList<QByteArray> bodies = server.requestBodies(QLatin1String(action));
        return bodies.size() == 1 ? bodies.first() : QByteArray("<not exactly one request>");
    }

    static QStringList offlineLines()
    {
        return Engine().connectedToNetwork()
                   ? QStringList()
                   : QStringList{Localization::text(Localization::NetworkConnectionRequired),
                                 QLatin1String(Engine::OfflineLine)};
    }

private slots:
    void initTestCase() { QVERIFY(server.start()); }

    void init()
    {
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
        QCOMPARE(printed.lines(), expected);

        QComboBox* clients = combo("clientPopUpButton");
        QCOMPARE(clients->itemText(0), QStringLiteral("Client"));
        QCOMPARE(clients->count(), view().clientlist()->clientObjects().size() + 1);
        QCOMPARE(clients->itemText(1), view().clientlist()->clientObjects().first()->name);
        QCOMPARE(combo("projectPopUpButton")->itemText(0), QStringLiteral("Project"));
        QVERIFY(combo("projectPopUpButton")->count() > 1);

        QAbstractItemModel* model = view().tableView()->model();
        QCOMPARE(model->rowCount(), server.notes().size());
        const Note& first = *notes().first();
        QCOMPARE(model->index(0, 0).data().toString(), first.client);
        QCOMPARE(model->index(0, 1).data().toString(), first.project);
        QCOMPARE(model->index(0, 2).data().toString(), NotesTableModel::firstLine(first.note));
        QCOMPARE(window().statusBar()->currentMessage(), printed.lines().last());

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
            WAIT_FOR(printed.contains(XmlLine) && !window().busyIndicatorVisible());
            QVERIFY(!notes().isEmpty() && notes().size() < server.notes().size());
            for (const NoteRef& note : notes())
                QVERIFY((*note.*member).contains(keyword, Qt::CaseInsensitive));
        }

        // Every appearance logs in and loads again, the notes with the last keywords.
        QVERIFY(server.clearRequests());
        window().hide();
        printed.clear();
        window().show();
        WAIT_FOR(printed.count(XmlLine) == 3);
        QCOMPARE(printed.lines().first(), QLatin1String(ViewController::AppearedLine));
        QStringList scripts;
        for (const QJsonValue& request : server.requests())
            scripts << request.toObject().value("script").toString();
        QCOMPARE(scripts, (QStringList{"login.php", "client.php", "project.php", "notes.php"}));
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

    void firstLineOfANote()
    {
        const QList<QPair<QString, QString>> cases{
            {"", ""},      {"\nabc", ""},         {"a\r\nb", "a"},      {"whole", "whole"},
            {"a\fb", "a"}, {u"a\u2028b"_qs, "a"}, {u"a\u0085b"_qs, "a"}};
        for (const auto& [text, shown] : cases)
            QCOMPARE(NotesTableModel::firstLine(text), shown);
    }

    // Selection shows the note; Mail hands over its stored text, not the unsaved edit.
    void selectMailSaveDeleteAddAndPreferences()
    {
        RecordingComposer composer;
        Mail::setDefaultComposer(&composer);
        QVERIFY(launchLoaded());
        PrintedLines printed;
        const int linked = rowWith(isLinked);
        QVERIFY(select(linked));
        const Note stored = *notes().at(linked);
        QCOMPARE(printed.lines(),
                 QStringList{QStringLiteral("selected row by arrow key: %1").arg(linked)});
        QCOMPARE(view().noteTextView()->toPlainText(), stored.note);
        QCOMPARE(combo("clientPopUpButton")->currentText(), stored.client);
        view().noteTextView()->setPlainText(QStringLiteral("edited, not saved"));
        view().findChild<QPushButton*>("mailButton")->click();
        QCOMPARE(composer.calls,
                 (QStringList{"to:", "subject:" + stored.project, "body:" + stored.note}));
        QVERIFY(select(rowWith([](const Note& n) { return n.client.isEmpty(); })));
        QCOMPARE(combo("clientPopUpButton")->currentIndex(), 0);

        // Save sends the editor text and the chosen client; the placeholder keeps the project.
        QVERIFY(select(linked));
        const NoteRef note = feed().note();
        const auto client =
            *std::ranges::find_if(view().clientlist()->clientObjects(),
                                  [&](const auto& c) { return c->name != note->client; });
        combo("clientPopUpButton")->setCurrentText(client->name);
        combo("projectPopUpButton")->setCurrentIndex(0);
        view().noteTextView()->setPlainText(QStringLiteral("Nový text\ndruhý riadok"));
        printed.clear();
        view().findChild<QPushButton*>("saveButton")->click();
        WAIT_FOR(printed.contains(XmlLine));
        QCOMPARE(printed.lines().first(), QLatin1String(NotesFeed::SavedLine));
        QCOMPARE(onlyBody("edit_note"),
                 "PHPSESSID=" + session() + "&action=edit_note&NoteID=" + note->id.toUtf8() +
                     "&note=" + QUrl::toPercentEncoding(QStringLiteral("Nový text\ndruhý riadok")) +
                     "&ProjectID=" + note->projectId.toUtf8() + "&ClientID=" + client->id.toUtf8());
        const int saved = rowWith([&](const Note& n) { return n.id == note->id; });
        QCOMPARE(view().tableModel()->index(saved, 0).data().toString(), client->name);
        QCOMPARE(view().tableModel()->index(saved, 2).data().toString(), u"Nový text"_qs);

        // Delete, pressed in the table, removes the selected note on the server.
        QVERIFY(select(saved));
        QVERIFY(server.clearRequests());
        printed.clear();
        view().tableView()->setFocus();
        QTest::keyClick(view().tableView(), Qt::Key_Delete);
        WAIT_FOR(printed.contains(XmlLine));
        QCOMPARE(printed.lines().first(), QLatin1String(NotesFeed::DeletedLine));
        QCOMPARE(onlyBody("delete_note"),
                 "PHPSESSID=" + session() + "&action=delete_note&NoteID=" + note->id.toUtf8());
        QCOMPARE(rowWith([&](const Note& n) { return n.id == note->id; }), -1);

        // Each add action takes its links from a copy: the selected note stays as it was.
        const char* buttons[] = {"addButton", "addToProjectButton", "addToClientButton",
                                 "addToBothButton"};
        for (int i = 0; i < 4; ++i) {
            const bool keepsProject = i & 1, keepsClient = i & 2;
            QVERIFY(select(rowWith(isLinked)));
            const NoteRef selected = feed().note();
            const Note before = *selected;
            QVERIFY(server.clearRequests());
            printed.clear();
            view().findChild<QPushButton*>(buttons[i])->click();
            WAIT_FOR(printed.contains(XmlLine) && !feed().endpoint().dataTask());
            QCOMPARE(printed.lines().first(), QLatin1String(NotesFeed::AddedLine));
            QCOMPARE(onlyBody("add_note"),
                     "PHPSESSID=" + session() + "&action=add_note&note=%20" +
                         "&ProjectID=" + (keepsProject ? before.projectId.toUtf8() : "0") +
                         "&ClientID=" + (keepsClient ? before.clientId.toUtf8() : "0"));
            QCOMPARE(*selected, before);
            QCOMPARE(notes().size(), server.notes().size());
        }
        QVERIFY(server.clearRequests());

        // Preferences store what was typed and connect the window to another server.
        TestServer other;
        QVERIFY(other.start());
        PreferencesViewController* preferences = window().showPreferences();
        QCOMPARE(preferences->serverTextField()->text(), server.host());
        QCOMPARE(preferences->loginTextField()->text(), QStringLiteral("demo"));
        QCOMPARE(preferences->passwordTextField()->echoMode(), QLineEdit::Password);
        WAIT_FOR(!view().membercenter().dataTask()); // the login of its appearance
        preferences->serverTextField()->setText(other.host());
        preferences->pathTextField()->setText(QStringLiteral(" "));
        printed.clear();
        preferences->findChild<QPushButton*>("saveAndConnectButton")->click();
        QCOMPARE(SettingsStore::shared().stringForKey(SettingsStore::Host), other.host());
        QCOMPARE(SettingsStore::shared().stringForKey(SettingsStore::Path), QStringLiteral(" "));
        // A blank path is kept, so the URL has a blank the server cannot be reached with.
        QCOMPARE(printed.lines().first(),
                 QStringLiteral("https://%1 /api/login.php").arg(other.host()));

        preferences->pathTextField()->clear();
        preferences->findChild<QPushButton*>("saveAndConnectButton")->click();
        WAIT_FOR(printed.count(XmlLine) == 3); // clients, projects and notes of the new server
        QCOMPARE(other.requestBodies(QStringLiteral("xml_notes")).size(), 1);
        QCOMPARE(notes().size(), other.notes().size());
        QCOMPARE(server.requestBodies(QStringLiteral("xml_notes")).size(), 0);
        QCOMPARE(view().membercenter().host(), other.host());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
