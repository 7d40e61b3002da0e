#include "PreferencesViewController.h"

#include "Console.h"
#include "DataEndpoint.h"
#include "MemberCenter.h"
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
                              {ui->loginTextField, SettingsStore::Login},
                              {ui->passwordTextField, SettingsStore::Password}};
    for (const FieldKey& pair : pairs) {
        const QVariant value = store.valueForKey(QLatin1String(pair.key));
        if (value.isValid())
            pair.field->setText(value.toString());
    }
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
    SettingsStore& store = SettingsStore::shared();
    const FieldKey pairs[] = {{ui->serverTextField, SettingsStore::Host},
                              {ui->pathTextField, SettingsStore::Path},
                              {ui->loginTextField, SettingsStore::Login},
                              {ui->passwordTextField, SettingsStore::Password}};
    for (const FieldKey& pair : pairs)
        store.setObject(pair.field->text(), QLatin1String(pair.key));
    store.synchronize();
    // The session takes up what was just saved, for this login and every later request.
    m_membercenter.takeUpSettings();
    m_membercenter.actionLogin([this](bool accepted) {
        if (accepted)
            emit connected();
    });
}
