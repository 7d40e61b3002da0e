#pragma once

#include "Engine.h"

#include <QDialog>
#include <QMetaObject>

#include <memory>

class MemberCenter;
class QLineEdit;

namespace Ui {
class PreferencesViewController;
}

// The preferences dialog: the server's host, the path below it, the login and the password.
// Its fields are filled from the settings and the password store when it is loaded; each
// appearance checks the network and logs in when the settings are complete. Save and connect
// first checks the host and the path (the reason shows beside a field that is refused, and
// nothing is stored or sent), then stores the four texts (the host without surrounding blanks,
// the password where the password store keeps it), logs in with them and shows the progress and
// the outcome: a success closes the dialog, a failure stays beside the fields with the focus on
// the password. Escape cancels without saving. Where a server's key was refused, the dialog shows
// both keys and offers to trust the new one.
class PreferencesViewController : public QDialog
{
    Q_OBJECT
public:
    static constexpr char AppearedLine[] = "viewDidAppear";

    explicit PreferencesViewController(MemberCenter& membercenter, QWidget* parent = nullptr);
    ~PreferencesViewController() override;

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

signals:
    // The server accepted the login made with the settings just saved.
    void connected();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool validateAddress();
    void setConnecting(bool connecting);
    void loginEnded(bool accepted);

    std::unique_ptr<Ui::PreferencesViewController> ui;
    QMetaObject::Connection m_noticeWatch;
    QString m_connectingText;
    MemberCenter& m_membercenter;
    Engine m_engine;
};
