#pragma once

#include "Engine.h"

#include <QWidget>

#include <memory>

class MemberCenter;
class QLineEdit;

namespace Ui {
class PreferencesViewController;
}

// The preferences window: the server's host, the path below it, the login and the password.
// Its fields are filled from the settings and the password store when it is loaded; each
// appearance checks the network and logs in when the settings are complete; Save and connect
// stores the four texts exactly as typed (the password where the password store keeps it) and
// logs in with them. Where a server's key was refused, the window shows both keys and offers to
// trust the new one.
class PreferencesViewController : public QWidget
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

signals:
    // The server accepted the login made with the settings just saved.
    void connected();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::PreferencesViewController> ui;
    MemberCenter& m_membercenter;
    Engine m_engine;
};
