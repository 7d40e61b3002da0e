#include "AppDelegate.h"

#include "MainWindow.h"
#include "MemberCenter.h"
#include "NetworkTransport.h"
#include "NotesAccount.h"
#include "NotesFeed.h"
#include "PasswordStore.h"
#include "ServerTrust.h"
#include "SettingsStore.h"
#include "ViewController.h"

AppDelegate::AppDelegate(QObject* parent) : QObject(parent) {}

// The window goes first, then the accounts (which may still hold requests), then the transport.
AppDelegate::~AppDelegate()
{
    m_window.reset();
    qDeleteAll(findChildren<NotesAccount*>(Qt::FindDirectChildrenOnly));
    m_transport.reset();
    m_trust.reset();
    m_passwords.reset();
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_preload.start();
    appSettings();
    SettingsStore& store = SettingsStore::shared();
    m_passwords = std::make_unique<PasswordStore>(store, PasswordStore::Backend::Keychain);
    m_trust = std::make_unique<ServerTrust>(store);
    m_transport = std::make_unique<NetworkTransport>(*m_trust);
    auto* account =
        new NotesAccount(std::make_unique<MemberCenter>(store, *m_transport, *m_passwords), this);
    // The login goes out before the window is built; the window's appearance takes it up. The
    // transport's thread makes the connections and the handshakes meanwhile. The keychain is
    // asked after that: a password in the settings file needs no answer from it to log in.
    account->membercenter().loginAhead();
    m_window = std::make_unique<MainWindow>(*this);
    adopt(account);
    m_passwords->startReading();

    connect(m_transport.get(), &NetworkTransport::busyChanged, m_window.get(),
            &MainWindow::setBusy);
    m_window->show();
}

void AppDelegate::adopt(NotesAccount* account)
{
    m_account = account;
    connect(account, &NotesAccount::released, account, &QObject::deleteLater);
    connect(&account->feed(), &NotesFeed::commandsDone, this, [this]() {
        if (pendingCommands() == 0)
            emit commandsDone();
    });
    m_window->viewController()->setAccount(account);
    emit accountChanged(account);
}

void AppDelegate::switchTo(std::unique_ptr<MemberCenter> session)
{
    if (!session)
        return;
    if (m_account && NotesAccount::identityOf(*session) == m_account->identity()) {
        m_account->membercenter().adoptSession(*session);
        m_account->takeUpLogin();
        return;
    }
    NotesAccount* old = m_account;
    auto* account = new NotesAccount(std::move(session), this);
    adopt(account);
    if (old)
        old->retire();
    account->takeUpLogin();
}

int AppDelegate::pendingCommands() const
{
    int pending = 0;
    for (const NotesAccount* account : findChildren<NotesAccount*>(Qt::FindDirectChildrenOnly))
        pending += account->pendingCommands();
    return pending;
}

void AppDelegate::keepWaitingSavesAsDrafts()
{
    for (NotesAccount* account : findChildren<NotesAccount*>(Qt::FindDirectChildrenOnly))
        account->keepWaitingSavesAsDrafts();
}

void AppDelegate::appSettings()
{
    SettingsStore& store = SettingsStore::shared();
    store.registerDefaults({
        {SettingsStore::SessionId, QString()},
        {SettingsStore::Host, QString()},
        {SettingsStore::Path, QString()},
        {SettingsStore::Login, QString()},
        {SettingsStore::Password, QString()},
    });
    store.registerDefaults({{SettingsStore::IsLoggedIn, false}});
    store.synchronize();
}
