#pragma once

#include "LibraryPreload.h"

#include <QObject>

#include <memory>

class MainWindow;
class MemberCenter;
class NetworkTransport;
class PasswordStore;
class ServerTrust;

// The application object. At launch it registers the defaults of the persisted settings, so
// every lookup yields a value of the right type even on a first run, starts reading the password
// from the desktop keychain, creates the server trust records, the transport and the one login
// session that every window and list shares, and shows the main window at once: the start-up
// login waits for the password, the window does not.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();

    static void appSettings();

    MainWindow* mainWindow() const { return m_window.get(); }

private:
    std::unique_ptr<PasswordStore> m_passwords;
    std::unique_ptr<ServerTrust> m_trust;
    std::unique_ptr<NetworkTransport> m_transport;
    std::unique_ptr<MemberCenter> m_membercenter;
    std::unique_ptr<MainWindow> m_window;
    LibraryPreload m_preload;
};
