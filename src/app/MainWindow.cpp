#include "MainWindow.h"

#include "Notices.h"
#include "PreferencesViewController.h"
#include "ViewController.h"

#include <QAction>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>

MainWindow::MainWindow(MemberCenter& membercenter, QWidget* parent)
    : QMainWindow(parent), m_membercenter(membercenter),
      m_viewController(new ViewController(membercenter, this)),
      m_busyIndicator(new QProgressBar(this)), m_statusText(new QLabel(this))
{
    setWindowTitle(tr("Notes"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/notes-client.svg")));
    setCentralWidget(m_viewController);
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
    connect(m_viewController, &ViewController::settingsNeeded, this, &MainWindow::showPreferences);
    createMenus();
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

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_viewController->keepDraft();
    QMainWindow::closeEvent(event);
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

PreferencesViewController* MainWindow::showPreferences()
{
    if (!m_preferences) {
        // Not modal: the notes stay readable while the dialog connects.
        m_preferences = new PreferencesViewController(m_membercenter, this);
        m_preferences->setAttribute(Qt::WA_DeleteOnClose);
        m_preferences->setWindowIcon(windowIcon());
        connect(m_preferences, &PreferencesViewController::connected, m_viewController,
                &ViewController::takeUpSavedSettings);
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

    const ViewController::Actions& actions = view->actions();
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
