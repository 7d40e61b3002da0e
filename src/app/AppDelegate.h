#pragma once

#include <QObject>

#include <memory>

class MainWindow;
class MemberCenter;
class NetworkTransport;

// The application object. At launch it registers the defaults of the persisted settings, so
// every lookup yields a value of the right type even on a first run, then creates the transport
// and the one login session that every window and list shares, and shows the main window.
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
    std::unique_ptr<NetworkTransport> m_transport;
    std::unique_ptr<MemberCenter> m_membercenter;
    std::unique_ptr<MainWindow> m_window;
};
