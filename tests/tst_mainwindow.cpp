// The application as a user meets it, end to end against the substitute server: appearance,
// selection, save, the add actions, delete, search, mail, preferences and what the window shows.

#include "Localization.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "ClientList.h"
#include "ProjectList.h"
#include "DataEndpoint.h"
#include "Engine.h"
#include "MemberCenter.h"
#include "Mail.h"
#include "MailComposer.h"
#include "NotesFeed.h"
#include "NotesTableModel.h"
#include "ViewController.h"
#include "PreferencesViewController.h"
#include "support/PrintedLines.h"
#include "support/TestServer.h"
#include "support/TestSettings.h"

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
const QString XmlLine = QLatin1String(DataEndpoint::XmlLine);

struct RecordingComposer : MailComposer
{
    QStringList calls;
    QStringList recipients;
    QString subject;
    QStringList items;
    void setRecipients(const QStringList& r) override
    {
        calls << "recipients";
        recipients = r;
    }
    void setSubject(const QString& s) override
    {
        calls << "subject";
        subject = s;
    }
    void performWithItems(const QStringList& i) override
    {
        calls << "perform";
        items = i;
    }
};
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    TestServer server;
    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<MainWindow> window;

    ViewController& view() { return *window->viewController(); }
    NotesFeed& feed() { return view().feed(); }
    QComboBox* combo(const char* name) { return view().findChild<QComboBox*>(name); }

    // Opens the main window and waits until the notes are shown.
    void openLoaded()
    {
        window = std::make_unique<MainWindow>();
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(!feed().noteObjects.isEmpty(), 20000);
        QTRY_VERIFY(feed().endpoint().dataTask.isNull());
        server.clearRequests();
    }

    // Waits for a command's success line and the reload that follows it.
    void waitForReload(const PrintedLines& printed)
    {
        QTRY_VERIFY_WITH_TIMEOUT(printed.contains(XmlLine), 20000);
    }

    int rowWith(const std::function<bool(const Note&)>& wanted)
    {
        for (int row = 0; row < feed().noteObjects.size(); ++row)
            if (wanted(*feed().noteObjects.at(row)))
                return row;
        return -1;
    }

    void select(int row)
    {
        QVERIFY(row >= 0);
        view().tableView()->setCurrentIndex(view().tableModel()->index(row, 0));
    }

    QByteArray onlyBody(const char* action)
    {
        const QList<QByteArray> bodies = server.requestBodies(QLatin1String(action));
        return bodies.size() == 1 ? bodies.first() : QByteArray("<not exactly one request>");
    }

    QStringList offlineLines() const
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
        server.clearFaults();
        server.clearRequests();
    }

    void cleanup() { window.reset(); }

    void appearanceLoadsClientsProjectsAndNotes()
    {
        PrintedLines printed;
        openLoaded();
        QStringList expected{QLatin1String(ViewController::AppearedLine)};
        expected << offlineLines() << QStringLiteral("https://%1/api/login.php").arg(server.host())
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
        QCOMPARE(model->columnCount(), 3);
        const Note& first = *feed().noteObjects.first();
        QCOMPARE(model->index(0, 0).data().toString(), first.client);
        QCOMPARE(model->index(0, 1).data().toString(), first.project);
        QCOMPARE(model->index(0, 2).data().toString(), NotesTableModel::firstLine(first.note));
        QCOMPARE(window->statusBar()->currentMessage(), printed.lines().last());
    }

    void everyAppearanceLogsInAndLoadsAgain()
    {
        openLoaded();
        feed().noteKeyword = QStringLiteral("strech");
        window->hide();
        PrintedLines printed;
        window->show();
        QTRY_COMPARE_WITH_TIMEOUT(printed.count(XmlLine), 3, 20000);
        QCOMPARE(printed.lines().first(), QLatin1String(ViewController::AppearedLine));
        QStringList scripts;
        for (const QJsonValue& request : server.requests())
            scripts << request.toObject().value("script").toString();
        QCOMPARE(scripts, (QStringList{"login.php", "client.php", "project.php", "notes.php"}));
        // The notes come with the keywords of the last search.
        QVERIFY(server.requestBodies(QStringLiteral("xml_notes"))
                    .value(0)
                    .contains("&noteKeyword=strech&"));
    }

    void incompleteSettingsOpenThePreferences()
    {
        settings->save(QString(), QStringLiteral("demo"), QStringLiteral("demo"));
        PrintedLines printed;
        window = std::make_unique<MainWindow>();
        window->show();
        QTest::qWait(300);
        QStringList expected{QLatin1String(ViewController::AppearedLine)};
        expected << offlineLines() << QStringLiteral("Enter the server name in Preferences.");
        QCOMPARE(printed.lines().mid(0, expected.size()), expected);
        QVERIFY(window->preferences() && window->preferences()->isVisible());
        QCOMPARE(server.requests().size(), 0);
    }

    void firstLineOfANote_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("leading line feed") << "\nabc"
                                           << "";
        QTest::newRow("carriage return and line feed") << "a\r\nb"
                                                       << "a";
        QTest::newRow("no line break") << "whole text"
                                       << "whole text";
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << "a";
        QTest::newRow("next line") << QStringLiteral("a\u0085b") << "a";
        QTest::newRow("form feed") << "a\fb"
                                   << "a";
    }

    void firstLineOfANote()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(NotesTableModel::firstLine(text), shown);
    }

    void selectingARowShowsTheNote()
    {
        openLoaded();
        PrintedLines printed;
        const int linked = rowWith([](const Note& n) { return !n.client.isEmpty(); });
        select(linked);
        const Note& note = *feed().noteObjects.at(linked);
        QCOMPARE(printed.lines(),
                 QStringList{QStringLiteral("selected row by arrow key: %1").arg(linked)});
        QCOMPARE(feed().note.get(), &note);
        QCOMPARE(view().noteTextView()->toPlainText(), note.note);
        QCOMPARE(combo("clientPopUpButton")->currentText(), note.client);
        const int unlinked = rowWith([](const Note& n) { return n.client.isEmpty(); });
        select(unlinked);
        QCOMPARE(combo("clientPopUpButton")->currentIndex(), 0);
    }

    void saveSendsTheEditorAndTheChosenLinks()
    {
        openLoaded();
        const int row = rowWith([](const Note& n) { return !n.clientId.isEmpty(); });
        select(row);
        const NoteRef note = feed().note;
        const auto& clients = view().clientlist()->clientObjects();
        const auto other = *std::find_if(clients.begin(), clients.end(),
                                         [&](const auto& c) { return c->name != note->client; });
        combo("clientPopUpButton")->setCurrentText(other->name);
        combo("projectPopUpButton")->setCurrentIndex(0); // placeholder: the project stays
        view().noteTextView()->setPlainText(QStringLiteral("Nový text\ndruhý riadok"));
        PrintedLines printed;
        view().findChild<QPushButton*>("saveButton")->click();
        waitForReload(printed);
        QCOMPARE(printed.lines().first(), QLatin1String(NotesFeed::SavedLine));
        QCOMPARE(onlyBody("edit_note"),
                 "PHPSESSID=" + view().membercenter()->PHPSESSID.toUtf8() +
                     "&action=edit_note&NoteID=" + note->id.toUtf8() +
                     "&note=" + QUrl::toPercentEncoding(QStringLiteral("Nový text\ndruhý riadok")) +
                     "&ProjectID=" + note->projectId.toUtf8() + "&ClientID=" + other->id.toUtf8());
        const int saved = rowWith([&](const Note& n) { return n.id == note->id; });
        QAbstractItemModel* model = view().tableView()->model();
        QCOMPARE(model->index(saved, 0).data().toString(), other->name);
        QCOMPARE(model->index(saved, 2).data().toString(), QStringLiteral("Nový text"));
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
        openLoaded();
        select(rowWith(
            [](const Note& n) { return n.clientId.toInt() > 0 && n.projectId.toInt() > 0; }));
        const NoteRef selected = feed().note;
        const Note before = *selected;
        PrintedLines printed;
        view().findChild<QPushButton*>(button)->click();
        QTRY_VERIFY_WITH_TIMEOUT(printed.contains(QLatin1String(NotesFeed::AddedLine)), 20000);
        QCOMPARE(onlyBody("add_note"),
                 "PHPSESSID=" + view().membercenter()->PHPSESSID.toUtf8() +
                     "&action=add_note&note=%20&ProjectID=" +
                     (keepsProject ? before.projectId.toUtf8() : "0") +
                     "&ClientID=" + (keepsClient ? before.clientId.toUtf8() : "0"));
        QCOMPARE(*selected, before);
        QCOMPARE(feed().note, selected);
        waitForReload(printed);
        QCOMPARE(feed().noteObjects.size(), server.notes().size());
    }

    void deleteRemovesTheSelectedNote()
    {
        openLoaded();
        select(2);
        const QString id = feed().note->id;
        PrintedLines printed;
        view().tableView()->setFocus();
        QTest::keyClick(view().tableView(), Qt::Key_Delete);
        waitForReload(printed);
        QCOMPARE(printed.lines().first(), QLatin1String(NotesFeed::DeletedLine));
        QCOMPARE(onlyBody("delete_note"), "PHPSESSID=" + view().membercenter()->PHPSESSID.toUtf8() +
                                              "&action=delete_note&NoteID=" + id.toUtf8());
        QCOMPARE(rowWith([&](const Note& n) { return n.id == id; }), -1);
    }

    void searchFiltersByEachKeyword_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("client") << "clientSearchField" << QStringLiteral("žilina");
        QTest::newRow("project") << "projectSearchField" << QStringLiteral("strech");
        QTest::newRow("note") << "noteSearchField" << QStringLiteral("poznámka");
    }

    void searchFiltersByEachKeyword()
    {
        QFETCH(QString, field);
        QFETCH(QString, keyword);
        openLoaded();
        const int all = static_cast<int>(feed().noteObjects.size());
        auto* input = view().findChild<QLineEdit*>(field);
        input->setText(keyword);
        PrintedLines printed;
        QTest::keyClick(input, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(printed.contains(XmlLine), 20000);
        QVERIFY(!feed().noteObjects.isEmpty());
        QVERIFY(feed().noteObjects.size() < all);
        for (const NoteRef& note : feed().noteObjects) {
            const QString searched = field.startsWith(u"client")    ? note->client
                                     : field.startsWith(u"project") ? note->project
                                                                    : note->note;
            QVERIFY2(searched.contains(keyword, Qt::CaseInsensitive), qPrintable(searched));
        }
    }

    void mailHandsOverTheStoredText()
    {
        RecordingComposer composer;
        Mail::setDefaultComposer(&composer);
        openLoaded();
        select(rowWith([](const Note& n) { return !n.project.isEmpty(); }));
        const Note stored = *feed().note;
        view().noteTextView()->setPlainText(QStringLiteral("edited, not saved"));
        view().findChild<QPushButton*>("mailButton")->click();
        Mail::setDefaultComposer(nullptr);
        QCOMPARE(composer.calls, (QStringList{"recipients", "subject", "perform"}));
        QCOMPARE(composer.recipients, QStringList{QString()});
        QCOMPARE(composer.subject, stored.project);
        QCOMPARE(composer.items, QStringList{stored.note});
    }

    void preferencesStoreAsTypedAndConnectTheWindow()
    {
        openLoaded();
        TestServer other;
        QVERIFY(other.start());
        PreferencesViewController* preferences = window->showPreferences();
        QCOMPARE(preferences->serverTextField()->text(), server.host());
        QCOMPARE(preferences->loginTextField()->text(), QStringLiteral("demo"));
        QCOMPARE(preferences->passwordTextField()->echoMode(), QLineEdit::Password);
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
        QTRY_VERIFY_WITH_TIMEOUT(printed.contains(XmlLine), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(other.requestBodies(QStringLiteral("xml_notes")).size() == 1,
                                 20000);
        QTRY_COMPARE(feed().noteObjects.size(), other.notes().size());
        QCOMPARE(server.requestBodies(QStringLiteral("xml_notes")).size(), 0);
        QCOMPARE(view().membercenter()->host, other.host());
    }

    void busyIndicatorShowsForSlowRequests()
    {
        openLoaded();
        QVERIFY(!window->busyIndicatorVisible());
        QVERIFY(server.delayAnswer({{"action", "xml_notes"}}, 1500));
        view().actionSearchNotes();
        QTRY_VERIFY_WITH_TIMEOUT(window->busyIndicatorVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!window->busyIndicatorVisible(), 10000);
    }

    void everyControlHasAName()
    {
        window = std::make_unique<MainWindow>();
        PreferencesViewController preferences;
        for (QWidget* root :
             {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(&preferences)}) {
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

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
