#include "prefs/PreferencesViewController.h"

#include "app/Console.h"
#include "app/SettingsStore.h"
#include "net/DataEndpoint.h"
#include "net/MemberCenter.h"
#include "ui_PreferencesViewController.h"

#include <QShowEvent>

namespace {
struct FieldKey
{
    QLineEdit* field;
    const char* key;
};
} // namespace

PreferencesViewController::PreferencesViewController(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PreferencesViewController>()),
      m_membercenter(new MemberCenter(this))
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
    engine.warnIfOffline();
    if (m_membercenter->checkSettings(this))
        m_membercenter->actionLogin(this);
    if (m_membercenter->isLoggedIn)
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
    // The login uses what was just saved, not what this window's login object copied earlier.
    m_membercenter->reloadFromStore();
    m_membercenter->actionLogin(this, [this](bool accepted) {
        if (accepted)
            emit connected();
    });
}
