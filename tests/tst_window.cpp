// The application as a user meets it, end to end against the substitute server: start-up,
// selection, save, the add actions, delete, search, mail, preferences and what the window shows.

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
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QUrl>

namespace {
const QString XmlLine = QLatin1String(ListRequest::XmlLine);

struct RecordingComposer : MailComposer
{
    QStringList calls;
    void setRecipients(const QStringList& r) override { calls << "to:" + r.join(','); }
    void setSubject(const QString& s) override { calls << "subject:" + s; }
    void performWithItems(const QStringList& i) override { calls << "body:" + i.join('|'); }
};
} // namespace

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

    void launch()
    {
        app = std::make_unique<AppDelegate>();
        app->applicationDidFinishLaunching();
    }

    // Starts the application and waits until the notes are shown and nothing is in flight.
    bool launchLoaded()
    {
        launch();
        return QTest::qWaitFor([this] { return !notes().isEmpty(); }, 20000) &&
               QTest::qWaitFor([this] { return !feed().endpoint().dataTask(); }) &&
               server.clearRequests();
    }

    int rowWith(const std::function<bool(const Note&)>& wanted)
    {
        for (int row = 0; row < notes().size(); ++row)
            if (wanted(*notes().at(row)))
                return row;
        return -1;
    }

    bool select(int row)
    {
        if (row < 0)
            return false;
        view().tableView()->setCurrentIndex(view().tableModel()->index(row, 0));
        return feed().note() == notes().at(row);
    }

    QByteArray onlyBody(const char* action)
    {
        const QList<QByteArray> bodies = server.requestBodies(QLatin1String(action));
        return bodies.size() == 1 ? bodies.first() : QByteArray("<not exactly one request>");
    }

    static QStringList offlineLines()
    {
        if (Engine().connectedToNetwork())
            return {};
        return {Localization::text(Localization::NetworkConnectionRequired),
                QLatin1String(Engine::OfflineLine)};
    }

private slots:
    void initTestCase() { QVERIFY(server.start()); }

    void init()
    {
        settings = std::make_unique<TestSettings>();
        settings->save(server.host(), QStringLiteral("demo"), QStringLiteral("demo"));
        QVERIFY(server.clearFaults());
        QVERIFY(server.clearRequests());
    }

    void cleanup()
    {
        app.reset();
        Mail::setDefaultComposer(nullptr);
    }

    void everyAppearanceLoadsClientsProjectsAndNotes()
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

        // Every appearance logs in and loads again, the notes with the last search's keywords.
        view().noteSearchField()->setText(QStringLiteral("strech"));
        view().actionSearchNotes();
        WAIT_FOR(!feed().endpoint().dataTask());
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
        // The notes come with the keywords of the last search.
        QVERIFY(onlyBody("xml_notes").contains("&noteKeyword=strech&"));
    }

    void incompleteSettingsOpenThePreferences()
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
    }

    // The note column shows the text before the first line break of any kind.
    void firstLineOfANote()
    {
        const QList<QPair<QString, QString>> cases{
            {"", ""},      {"\nabc", ""},         {"a\r\nb", "a"},      {"whole", "whole"},
            {"a\fb", "a"}, {u"a\u2028b"_qs, "a"}, {u"a\u0085b"_qs, "a"}};
        for (const auto& [text, shown] : cases)
            QCOMPARE(NotesTableModel::firstLine(text), shown);
    }

    // Selection shows the note; Mail hands over its stored text, not the unsaved edit.
    void selectingShowsTheNoteAndMailSendsItsStoredText()
    {
        RecordingComposer composer;
        Mail::setDefaultComposer(&composer);
        QVERIFY(launchLoaded());
        PrintedLines printed;
        const int linked = rowWith([](const Note& n) { return !n.client.isEmpty(); });
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
    }

    void saveAndDeleteReachTheServer()
    {
        QVERIFY(launchLoaded());
        QVERIFY(select(rowWith([](const Note& n) { return !n.clientId.isEmpty(); })));
        const NoteRef note = feed().note();
        const auto& clients = view().clientlist()->clientObjects();
        const auto other = *std::find_if(clients.begin(), clients.end(),
                                         [&](const auto& c) { return c->name != note->client; });
        combo("clientPopUpButton")->setCurrentText(other->name);
        combo("projectPopUpButton")->setCurrentIndex(0); // the placeholder keeps the project
        view().noteTextView()->setPlainText(QStringLiteral("Nový text\ndruhý riadok"));
        PrintedLines printed;
        view().findChild<QPushButton*>("saveButton")->click();
        WAIT_FOR(printed.contains(XmlLine));
        QCOMPARE(printed.lines().first(), QLatin1String(NotesFeed::SavedLine));
        QCOMPARE(onlyBody("edit_note"),
                 "PHPSESSID=" + session() + "&action=edit_note&NoteID=" + note->id.toUtf8() +
                     "&note=" + QUrl::toPercentEncoding(QStringLiteral("Nový text\ndruhý riadok")) +
                     "&ProjectID=" + note->projectId.toUtf8() + "&ClientID=" + other->id.toUtf8());
        const int saved = rowWith([&](const Note& n) { return n.id == note->id; });
        QAbstractItemModel* model = view().tableView()->model();
        QCOMPARE(model->index(saved, 0).data().toString(), other->name);
        QCOMPARE(model->index(saved, 2).data().toString(), QStringLiteral("Nový text"));

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
    }

    void addActionsTakeTheirLinksFromACopy_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("keepsClient");
        QTest::addColumn<bool>("keepsProject");
        QTest::newRow("add") << "addButton" << false << false;
        QTest::newRow("add to project") << "addToProjectButton" << false << true;
        QTest::newRow("add to client") << "addToClientButton" << true << false;
        QTest::newRow("add to both") << "addToBothButton" << true << true;
    }

    void addActionsTakeTheirLinksFromACopy()
    {
        QFETCH(QString, button);
        QFETCH(bool, keepsClient);
        QFETCH(bool, keepsProject);
        QVERIFY(launchLoaded());
        QVERIFY(select(rowWith(
            [](const Note& n) { return n.clientId.toInt() > 0 && n.projectId.toInt() > 0; })));
        const NoteRef selected = feed().note();
        const Note before = *selected;
        PrintedLines printed;
        view().findChild<QPushButton*>(button)->click();
        WAIT_FOR(printed.contains(XmlLine));
        QCOMPARE(printed.lines().first(), QLatin1String(NotesFeed::AddedLine));
        QCOMPARE(onlyBody("add_note"),
                 "PHPSESSID=" + session() + "&action=add_note&note=%20" +
                     "&ProjectID=" + (keepsProject ? before.projectId.toUtf8() : "0") +
                     "&ClientID=" + (keepsClient ? before.clientId.toUtf8() : "0"));
        QCOMPARE(*selected, before);
        QCOMPARE(notes().size(), server.notes().size());
    }

    void searchFiltersByEachKeyword()
    {
        QVERIFY(launchLoaded());
        const qsizetype all = notes().size();
        const QList<QPair<QLineEdit*, QString Note::*>> fields{
            {view().clientSearchField(), &Note::client},
            {view().projectSearchField(), &Note::project},
            {view().noteSearchField(), &Note::note}};
        const QStringList keywords{u"žilina"_qs, u"strech"_qs, u"poznámka"_qs};
        for (int i = 0; i < fields.size(); ++i) {
            for (const auto& [field, member] : fields)
                field->setText(field == fields[i].first ? keywords[i] : QString());
            PrintedLines printed;
            QTest::keyClick(fields[i].first, Qt::Key_Return);
            WAIT_FOR(printed.contains(XmlLine));
            QVERIFY(!notes().isEmpty() && notes().size() < all);
            for (const NoteRef& note : notes())
                QVERIFY2((*note.*fields[i].second).contains(keywords[i], Qt::CaseInsensitive),
                         qPrintable(*note.*fields[i].second));
        }
    }

    void preferencesStoreAsTypedAndConnectTheWindow()
    {
        QVERIFY(launchLoaded());
        TestServer other;
        QVERIFY(other.start());
        PreferencesViewController* preferences = window().showPreferences();
        QCOMPARE(preferences->serverTextField()->text(), server.host());
        QCOMPARE(preferences->loginTextField()->text(), QStringLiteral("demo"));
        QCOMPARE(preferences->passwordTextField()->echoMode(), QLineEdit::Password);
        WAIT_FOR(!view().membercenter().dataTask()); // the login of its appearance
        preferences->serverTextField()->setText(other.host());
        preferences->pathTextField()->setText(QStringLiteral(" "));
        PrintedLines printed;
        preferences->findChild<QPushButton*>("saveAndConnectButton")->click();
        const SettingsStore& store = SettingsStore::shared();
        QCOMPARE(store.stringForKey(QLatin1String(SettingsStore::Host)), other.host());
        QCOMPARE(store.stringForKey(QLatin1String(SettingsStore::Path)), QStringLiteral(" "));
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

    void busyIndicatorShowsForSlowRequests()
    {
        QVERIFY(launchLoaded());
        QVERIFY(!window().busyIndicatorVisible());
        QVERIFY(
            server.delayAnswer({{"action", "xml_notes"}}, MainWindow::BusyIndicatorDelayMs + 300));
        view().actionSearchNotes();
        WAIT_FOR(window().busyIndicatorVisible());
        WAIT_FOR(!window().busyIndicatorVisible());
    }

    void everyControlHasAName()
    {
        launch();
        PreferencesViewController* preferences = window().showPreferences();
        for (QWidget* root :
             {static_cast<QWidget*>(&window()), static_cast<QWidget*>(preferences)}) {
            const QList<QWidget*> controls = root->findChildren<QWidget*>();
            for (QWidget* control : controls) {
                if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPushButton*>(control) ||
                    qobject_cast<QComboBox*>(control) || qobject_cast<QPlainTextEdit*>(control) ||
                    qobject_cast<QTableView*>(control))
                    QVERIFY2(!control->accessibleName().isEmpty(),
                             qPrintable(control->objectName()));
            }
        }
        QAbstractItemModel* model = view().tableView()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Client"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Project"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Note"));
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
