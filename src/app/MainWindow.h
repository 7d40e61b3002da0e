#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class AppDelegate;
class NotesAccount;
class PreferencesViewController;
class QLabel;
class QProgressBar;
class ViewController;

// The application's main window around the notes view: menus with keyboard shortcuts for every
// action, a status bar that shows the messages for people (Notices) and a bar that keeps the
// alerts in view until dismissed, a busy indicator for slow requests, and the preferences, which
// it opens on request or when the settings are incomplete. Its title names the account shown.
// Closing it while commands are still being sent asks first.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Shown only when a request takes longer than this.
    static constexpr int BusyIndicatorDelayMs = 300;

    explicit MainWindow(AppDelegate& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    ViewController* viewController() const { return m_viewController; }
    // Loads the preferences window on first use and brings it to the front.
    PreferencesViewController* showPreferences();
    PreferencesViewController* preferences() const;
    bool busyIndicatorVisible() const;
    // The message the status bar shows.
    QString statusText() const;
    // The alerts not dismissed yet, one a line.
    QString alertText() const;
    // The question asked when the window is closed with commands under way, while it is open.
    QWidget* quitQuestion() const { return m_quitQuestion; }

    // Requests are in flight; the indicator shows once this lasted BusyIndicatorDelayMs.
    void setBusy(bool busy);
    // Shows the window in front of the others; where the desktop does not let a program raise
    // itself (Wayland), the window asks for the user's attention instead.
    void bringToFront();

protected:
    // Unsaved edits become drafts before the window goes.
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createAlertBar();
    void showNotice(const QString& message);
    void showAlert(const QString& message);
    void accountChanged(NotesAccount* account);
    void askBeforeQuitting();

    AppDelegate& m_app;
    ViewController* m_viewController;
    QWidget* m_alertBar;
    QLabel* m_alertText;
    QPointer<QWidget> m_quitQuestion;
    bool m_mayClose = false;
    QPointer<PreferencesViewController> m_preferences;
    QProgressBar* m_busyIndicator;
    QLabel* m_statusText;
    QTimer m_busyDelay;
};
