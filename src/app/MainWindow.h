#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class MemberCenter;
class PreferencesViewController;
class QLabel;
class QProgressBar;
class ViewController;

// The application's main window around the notes view: menus with keyboard shortcuts for every
// action, a status bar that shows the messages for people (Notices), a busy indicator for slow
// requests, and the preferences, which it opens on request or when the settings are incomplete.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Shown only when a request takes longer than this.
    static constexpr int BusyIndicatorDelayMs = 300;

    explicit MainWindow(MemberCenter& membercenter, QWidget* parent = nullptr);
    ~MainWindow() override;

    ViewController* viewController() const { return m_viewController; }
    // Loads the preferences window on first use and brings it to the front.
    PreferencesViewController* showPreferences();
    PreferencesViewController* preferences() const;
    bool busyIndicatorVisible() const;
    // The message the status bar shows.
    QString statusText() const;

    // Requests are in flight; the indicator shows once this lasted BusyIndicatorDelayMs.
    void setBusy(bool busy);

protected:
    // Unsaved edits become drafts before the window goes.
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void showNotice(const QString& message);

    MemberCenter& m_membercenter;
    ViewController* m_viewController;
    QPointer<PreferencesViewController> m_preferences;
    QProgressBar* m_busyIndicator;
    QLabel* m_statusText;
    QTimer m_busyDelay;
};
