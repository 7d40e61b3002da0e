#include "MainWindow.h"

#include "AppDelegate.h"
#include "Diagnostics.h"
#include "MemberCenter.h"
#include "NetworkTransport.h"
#include "NotesAccount.h"
#include "Notices.h"
#include "PasswordStore.h"
#include "PreferencesViewController.h"
#include "ViewController.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

MainWindow::MainWindow(AppDelegate& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_viewController(new ViewController(this)),
      m_busyIndicator(new QProgressBar(this)), m_statusText(new QLabel(this))
{
    setWindowTitle(tr("Notes"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/notes-client.svg")));
    createAlertBar();
    resize(1100, 680);

    m_busyIndicator->setRange(0, 0);
    m_busyIndicator->setMaximumWidth(120);
    m_busyIndicator->setAccessibleName(tr("Waiting for the server"));
    m_busyIndicator->hide();
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setAccessibleName(tr("Status"));
    statusBar()->addWidget(m_statusText, 1);
    statusBar()->addPermanentWidget(m_busyIndicator);

    m_busyDelay.setSingleShot(true);
    m_busyDelay.setInterval(BusyIndicatorDelayMs);
    connect(&m_busyDelay, &QTimer::timeout, m_busyIndicator, &QWidget::show);
    connect(&Notices::instance(), &Notices::posted, this, &MainWindow::showNotice);
    connect(&Notices::instance(), &Notices::alerted, this, &MainWindow::showAlert);
    connect(m_viewController, &ViewController::settingsNeeded, this, &MainWindow::showPreferences);
    connect(&m_app, &AppDelegate::accountChanged, this, &MainWindow::accountChanged);
    createMenus();
}

// Above the notes: alerts that stay until the user dismisses them.
void MainWindow::createAlertBar()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    m_alertBar = new QWidget(central);
    auto* bar = new QHBoxLayout(m_alertBar);
    m_alertText = new QLabel(m_alertBar);
    m_alertText->setTextFormat(Qt::PlainText);
    m_alertText->setWordWrap(true);
    m_alertText->setAccessibleName(tr("Alerts"));
    auto* dismiss = new QToolButton(m_alertBar);
    dismiss->setText(tr("Dismiss"));
    dismiss->setAccessibleName(tr("Dismiss"));
    connect(dismiss, &QToolButton::clicked, this, [this]() {
        m_alertText->clear();
        m_alertBar->hide();
    });
    bar->addWidget(m_alertText, 1);
    bar->addWidget(dismiss);
    m_alertBar->hide();
    layout->addWidget(m_alertBar);
    layout->addWidget(m_viewController, 1);
    setCentralWidget(central);
}

void MainWindow::showAlert(const QString& message)
{
    QStringList lines = m_alertText->text().split(u'\n', Qt::SkipEmptyParts);
    lines.removeAll(message);
    lines.append(message);
    while (lines.size() > 3)
        lines.removeFirst();
    m_alertText->setText(lines.join(u'\n'));
    m_alertBar->show();
    showNotice(message);
}

QString MainWindow::alertText() const
{
    return m_alertBar->isHidden() ? QString() : m_alertText->text();
}

void MainWindow::accountChanged(NotesAccount* account)
{
    setWindowTitle(account ? tr("Notes — %1").arg(account->title()) : tr("Notes"));
    if (m_preferences)
        m_preferences->setCurrentSession(account ? &account->membercenter() : nullptr);
}

MainWindow::~MainWindow()
{
    delete m_preferences;
}

QString MainWindow::statusText() const
{
    return m_statusText->text();
}

// The label's accessible name follows the message, so a screen reader hears each new one.
void MainWindow::showNotice(const QString& message)
{
    m_statusText->setText(message);
    m_statusText->setToolTip(message);
    m_statusText->setAccessibleName(message);
    QAccessibleEvent changed(m_statusText, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

// Unsent commands are not dropped without a word: the user waits for them, or quits with the
// text of every unsent save kept as a draft.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (NotesAccount* account = m_viewController->account())
        account->keepDraft();
    if (std::exchange(m_mayClose, false) || m_app.pendingCommands() == 0)
        return QMainWindow::closeEvent(event);
    event->ignore();
    askBeforeQuitting();
}

void MainWindow::askBeforeQuitting()
{
    if (m_quitQuestion)
        return m_quitQuestion->raise();
    auto* box = new QMessageBox(QMessageBox::Question, tr("Changes are still being sent"),
                                tr("%n change(s) have not reached the server yet. Wait for them "
                                   "and quit then, or quit now and keep unsent edits as drafts?",
                                   nullptr, m_app.pendingCommands()),
                                QMessageBox::NoButton, this);
    QPushButton* wait = box->addButton(tr("Wait, then quit"), QMessageBox::AcceptRole);
    QPushButton* now = box->addButton(tr("Quit now"), QMessageBox::DestructiveRole);
    box->addButton(tr("Stay"), QMessageBox::RejectRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::buttonClicked, this, [this, wait, now](QAbstractButton* b) {
        const auto quit = [this]() {
            m_mayClose = true;
            close();
        };
        if (b == now) {
            m_app.keepWaitingSavesAsDrafts();
            quit();
        } else if (b == wait && m_app.pendingCommands() == 0) {
            quit();
        } else if (b == wait) {
            Notices::post(tr("Waiting for the server; the window closes when it has answered."));
            connect(&m_app, &AppDelegate::commandsDone, this, quit, Qt::SingleShotConnection);
        }
    });
    m_quitQuestion = box;
    box->open();
}

PreferencesViewController* MainWindow::preferences() const
{
    return m_preferences;
}

bool MainWindow::busyIndicatorVisible() const
{
    return m_busyIndicator->isVisible();
}

void MainWindow::setBusy(bool busy)
{
    if (busy) {
        m_busyDelay.start();
    } else {
        m_busyDelay.stop();
        m_busyIndicator->hide();
    }
}

void MainWindow::bringToFront()
{
    qCInfo(notesLog) << "another start asked for the window";
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    if (!isActiveWindow())
        QApplication::alert(this);
}

PreferencesViewController* MainWindow::showPreferences()
{
    if (!m_preferences) {
        // Not modal: the notes stay readable while the dialog connects.
        // A closed dialog is let go at once, so opening it again never takes up one that is
        // about to be deleted.
        auto* dialog = new PreferencesViewController(m_app.transport(), m_app.passwords(), this);
        connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
        connect(dialog, &QDialog::finished, this, [this, dialog]() {
            if (m_preferences == dialog)
                m_preferences = nullptr;
        });
        m_preferences = dialog;
        m_preferences->setWindowIcon(windowIcon());
        if (NotesAccount* account = m_viewController->account())
            m_preferences->setCurrentSession(&account->membercenter());
        connect(m_preferences, &PreferencesViewController::connected, this,
                [this]() { m_app.switchTo(m_preferences->takeSession()); });
    }
    m_preferences->show();
    m_preferences->raise();
    m_preferences->activateWindow();
    return m_preferences;
}

void MainWindow::createMenus()
{
    ViewController* view = m_viewController;

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Preferences…"), QKeySequence(tr("Ctrl+,")), this,
                    &MainWindow::showPreferences);
    file->addAction(view->actions().reconnect);
    file->addAction(view->actions().forgetCopy);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, qApp, &QApplication::closeAllWindows);

    const NoteActions& actions = view->actions();
    QMenu* note = menuBar()->addMenu(tr("&Note"));
    note->addAction(tr("&Find"), QKeySequence::Find, view, [view]() {
        view->noteSearchField()->setFocus(Qt::ShortcutFocusReason);
        view->noteSearchField()->selectAll();
    });
    note->addAction(actions.search);
    note->addSeparator();
    note->addActions({actions.save, actions.revert, actions.add, actions.addToClient,
                      actions.addToProject, actions.addToBoth, actions.remove, actions.mail});
    note->addSeparator();
    note->addAction(actions.drafts);
}
