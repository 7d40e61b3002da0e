#pragma once

#include "LibraryPreload.h"
#include "NotesAccount.h"

#include <QObject>
#include <QPointer>

#include <memory>

class MainWindow;
class MemberCenter;
class NetworkTransport;
class PasswordStore;
class ServerTrust;

// The application object. At launch it registers the defaults of the persisted settings, so
// every lookup yields a value of the right type even on a first run, starts reading the password
// from the desktop keychain, creates the server trust records, the transport and the account of
// the saved settings, and shows the main window at once: the start-up login waits for the
// password, the window does not.
//
// It holds the current account. Another account (a successful Save and connect to another
// server or login) replaces it in one step; the one replaced finishes what it has queued against
// its own server and is released when nothing is left.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();

    static void appSettings();

    MainWindow* mainWindow() const { return m_window.get(); }
    NotesAccount* account() const { return m_account; }
    NetworkTransport& transport() const { return *m_transport; }
    PasswordStore& passwords() const { return *m_passwords; }

    // Makes the account of a session logged in just now the current one. The same host, path
    // and login stay the same account, which takes up the new session and password.
    void switchTo(std::unique_ptr<MemberCenter> session);
    // Commands of every account queued or on the wire.
    int pendingCommands() const;
    // Quitting without waiting: every save not sent yet stays as a draft.
    void keepWaitingSavesAsDrafts();

signals:
    void accountChanged(NotesAccount* account);
    // The last command of every account has ended.
    void commandsDone();

private:
    void adopt(NotesAccount* account);

    std::unique_ptr<PasswordStore> m_passwords;
    std::unique_ptr<ServerTrust> m_trust;
    std::unique_ptr<NetworkTransport> m_transport;
    QPointer<NotesAccount> m_account;
    std::unique_ptr<MainWindow> m_window;
    LibraryPreload m_preload;
};
