#include "AppDelegate.h"

#include "MainWindow.h"
#include "MemberCenter.h"
#include "NetworkTransport.h"
#include "PasswordStore.h"
#include "ServerTrust.h"
#include "SettingsStore.h"

#include <QCoreApplication>

AppDelegate::AppDelegate(QObject* parent) : QObject(parent) {}

// The window goes first: it may still hold requests, which need the session and the transport.
AppDelegate::~AppDelegate()
{
    m_window.reset();
    m_membercenter.reset();
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
    m_membercenter = std::make_unique<MemberCenter>(store, *m_transport, *m_passwords);
    m_window = std::make_unique<MainWindow>(*m_membercenter);
    // The login goes out before the window is shown; the window's appearance takes it up. Qt
    // hands a request to its network thread through a queued call, which is delivered here, so
    // that the connection and the handshake proceed while the window is shown. The keychain is
    // asked after that: a password in the settings file needs no answer from it to log in.
    m_membercenter->loginAhead();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    m_passwords->startReading();

    connect(m_transport.get(), &NetworkTransport::busyChanged, m_window.get(),
            &MainWindow::setBusy);
    m_window->show();
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
