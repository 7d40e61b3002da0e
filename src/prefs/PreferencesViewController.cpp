#include "PreferencesViewController.h"

#include "ApiTransport.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "MemberCenter.h"
#include "PasswordStore.h"
#include "ServerKeyView.h"
#include "SettingsStore.h"
#include "ui_PreferencesViewController.h"

#include <QShowEvent>

namespace {
struct FieldKey
{
    QLineEdit* field;
    const char* key;
};
} // namespace

PreferencesViewController::PreferencesViewController(MemberCenter& membercenter, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PreferencesViewController>()),
      m_membercenter(membercenter)
{
    ui->setupUi(this);
    connect(ui->saveAndConnectButton, &QPushButton::clicked, this,
            &PreferencesViewController::actionSaveAndConnect);
    for (QLineEdit* field :
         {ui->serverTextField, ui->pathTextField, ui->loginTextField, ui->passwordTextField})
        connect(field, &QLineEdit::returnPressed, this,
                &PreferencesViewController::actionSaveAndConnect);
    if (ServerTrust* trust = m_membercenter.transport().serverTrust())
        ui->layout->insertWidget(1, new ServerKeyView(*trust, this));
    // Save stays off until the password has been read, so it never stores an empty one.
    PasswordStore& passwords = m_membercenter.passwords();
    ui->saveAndConnectButton->setEnabled(!passwords.isReading());
    connect(&passwords, &PasswordStore::readingEnded, this, [this, &passwords]() {
        if (!ui->passwordTextField->isModified())
            ui->passwordTextField->setText(passwords.password());
        ui->saveAndConnectButton->setEnabled(true);
    });
    configureView();
}

PreferencesViewController::~PreferencesViewController() = default;

QLineEdit* PreferencesViewController::serverTextField() const
{
    return ui->serverTextField;
}

QLineEdit* PreferencesViewController::pathTextField() const
{
    return ui->pathTextField;
}

QLineEdit* PreferencesViewController::loginTextField() const
{
    return ui->loginTextField;
}

QLineEdit* PreferencesViewController::passwordTextField() const
{
    return ui->passwordTextField;
}

void PreferencesViewController::configureView()
{
    const SettingsStore& store = SettingsStore::shared();
    const FieldKey pairs[] = {{ui->serverTextField, SettingsStore::Host},
                              {ui->pathTextField, SettingsStore::Path},
                              {ui->loginTextField, SettingsStore::Login}};
    for (const FieldKey& pair : pairs) {
        const QVariant value = store.valueForKey(QLatin1String(pair.key));
        if (value.isValid())
            pair.field->setText(value.toString());
    }
    ui->passwordTextField->setText(m_membercenter.passwords().password());
}

void PreferencesViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        viewDidAppear();
}

void PreferencesViewController::viewDidAppear()
{
    Console::print(QLatin1String(AppearedLine));
    m_engine.warnIfOffline();
    if (m_membercenter.checkSettings())
        m_membercenter.actionLogin();
    if (m_membercenter.isLoggedIn())
        Console::print(QLatin1String(DataEndpoint::LoggedInLine));
}

void PreferencesViewController::actionSaveAndConnect()
{
    if (!ui->saveAndConnectButton->isEnabled())
        return; // Return in a field while the password is still being read
    SettingsStore& store = SettingsStore::shared();
    const FieldKey pairs[] = {{ui->serverTextField, SettingsStore::Host},
                              {ui->pathTextField, SettingsStore::Path},
                              {ui->loginTextField, SettingsStore::Login}};
    for (const FieldKey& pair : pairs)
        store.setObject(pair.field->text(), QLatin1String(pair.key));
    store.synchronize();
    m_membercenter.passwords().save(ui->passwordTextField->text());
    // The session takes up what was just saved, for this login and every later request.
    m_membercenter.takeUpSettings();
    m_membercenter.actionLogin([this](bool accepted) {
        if (accepted)
            emit connected();
    });
}
