#pragma once

#include "Engine.h"

#include <QDialog>
#include <QMetaObject>
#include <QPointer>

#include <memory>

class ApiTransport;
class MemberCenter;
class PasswordStore;
class QLineEdit;

namespace Ui {
class PreferencesViewController;
}

// The preferences dialog: the server's host, the path below it, the login and the password.
// Its fields are filled from the settings and the password store when it is loaded; each
// appearance checks the network and logs in when the settings are complete. Save and connect
// first checks the host and the path (the reason shows beside a field that is refused, and
// nothing is stored or sent), then stores the four texts (the host without surrounding blanks,
// the password where the password store keeps it), logs in with a session of its own made from
// them and shows the progress and the outcome: a success hands that session over (connected())
// and closes the dialog, a failure stays beside the fields with the focus on the password.
// Cancel or Escape stops a login under way and puts back the settings of the session the window
// still uses, so nothing of the new server runs or stays. Where a server's key was refused, the
// dialog shows both keys and offers to trust the new one.
class PreferencesViewController : public QDialog
{
    Q_OBJECT
public:
    static constexpr char AppearedLine[] = "viewDidAppear";

    PreferencesViewController(ApiTransport& transport, PasswordStore& passwords,
                              QWidget* parent = nullptr);
    ~PreferencesViewController() override;

    // The session the window uses now: its appearance logs in again, and a cancelled Save and
    // connect puts its settings back.
    void setCurrentSession(MemberCenter* session);
    // After connected(): the session logged in with the saved settings, now the caller's.
    std::unique_ptr<MemberCenter> takeSession();

    void configureView();
    void viewDidAppear();
    void actionSaveAndConnect();

    QLineEdit* serverTextField() const;
    QLineEdit* pathTextField() const;
    QLineEdit* loginTextField() const;
    QLineEdit* passwordTextField() const;
    // The outcome of the last Save and connect, or empty.
    QString outcomeText() const;
    // Why the host or the path is refused, or empty.
    QString hostProblemText() const;
    QString pathProblemText() const;

    void done(int result) override;

signals:
    // The server accepted the login made with the settings just saved: takeSession() has it.
    void connected();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool validateAddress();
    void setConnecting(bool connecting);
    void loginEnded(bool accepted);
    void putBackCurrentSettings();

    std::unique_ptr<Ui::PreferencesViewController> ui;
    QMetaObject::Connection m_noticeWatch;
    QString m_connectingText;
    ApiTransport& m_transport;
    PasswordStore& m_passwords;
    QPointer<MemberCenter> m_current;
    MemberCenter* m_candidate = nullptr;
    bool m_savedUnconnected = false;
    Engine m_engine;
};
