#include "PreferencesViewController.h"

#include "ApiTransport.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "MemberCenter.h"
#include "Notices.h"
#include "PasswordStore.h"
#include "ServerAddress.h"
#include "ServerKeyView.h"
#include "SettingsStore.h"
#include "ui_PreferencesViewController.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

namespace {
struct FieldKey
{
    QLineEdit* field;
    const char* key;
};
} // namespace

PreferencesViewController::PreferencesViewController(ApiTransport& transport,
                                                     PasswordStore& passwords, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::PreferencesViewController>()),
      m_transport(transport), m_passwords(passwords)
{
    ui->setupUi(this);
    // Qt's Slovak table lacks the standard buttons' texts, so the dialog brings its own.
    QPushButton* cancel = ui->buttonBox->button(QDialogButtonBox::Cancel);
    cancel->setText(tr("Cancel"));
    cancel->setAccessibleName(tr("Cancel"));
    connect(ui->saveAndConnectButton, &QPushButton::clicked, this,
            &PreferencesViewController::actionSaveAndConnect);
    for (QLineEdit* field :
         {ui->serverTextField, ui->pathTextField, ui->loginTextField, ui->passwordTextField})
        connect(field, &QLineEdit::returnPressed, this,
                &PreferencesViewController::actionSaveAndConnect);
    if (ServerTrust* trust = m_transport.serverTrust())
        ui->layout->insertWidget(1, new ServerKeyView(*trust, this));
    // Save stays off until the password has been read, so it never stores an empty one.
    ui->saveAndConnectButton->setEnabled(!passwords.isReading());
    connect(&passwords, &PasswordStore::readingEnded, this, [this, &passwords]() {
        if (!ui->passwordTextField->isModified())
            ui->passwordTextField->setText(passwords.password());
        ui->saveAndConnectButton->setEnabled(true);
    });
    configureView();
}

PreferencesViewController::~PreferencesViewController()
{
    delete m_candidate;
}

void PreferencesViewController::setCurrentSession(MemberCenter* session)
{
    m_current = session;
}

std::unique_ptr<MemberCenter> PreferencesViewController::takeSession()
{
    MemberCenter* session = std::exchange(m_candidate, nullptr);
    if (session)
        session->setParent(nullptr);
    return std::unique_ptr<MemberCenter>(session);
}

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

QString PreferencesViewController::outcomeText() const
{
    return ui->outcomeLabel->text();
}

QString PreferencesViewController::hostProblemText() const
{
    return ui->hostProblemLabel->isHidden() ? QString() : ui->hostProblemLabel->text();
}

QString PreferencesViewController::pathProblemText() const
{
    return ui->pathProblemLabel->isHidden() ? QString() : ui->pathProblemLabel->text();
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
    ui->passwordTextField->setText(m_passwords.password());
}

void PreferencesViewController::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        viewDidAppear();
}

void PreferencesViewController::viewDidAppear()
{
    Console::print(QLatin1String(AppearedLine));
    m_engine.warnIfOffline();
    if (!m_current)
        return;
    if (m_current->checkSettings())
        m_current->actionLogin();
    if (m_current->isLoggedIn())
        Console::print(QLatin1String(DataEndpoint::LoggedInLine));
}

void PreferencesViewController::actionSaveAndConnect()
{
    if (!ui->saveAndConnectButton->isEnabled())
        return; // Return in a field while the password is still being read, or a login runs
    if (!validateAddress())
        return;
    SettingsStore& store = SettingsStore::shared();
    store.setObject(ui->serverTextField->text().trimmed(), QLatin1String(SettingsStore::Host));
    store.setObject(ui->pathTextField->text(), QLatin1String(SettingsStore::Path));
    store.setObject(ui->loginTextField->text(), QLatin1String(SettingsStore::Login));
    store.synchronize();
    m_passwords.save(ui->passwordTextField->text());
    m_savedUnconnected = true;
    // A session of its own, made from what was just saved; the window keeps its own until this
    // one is logged in.
    delete m_candidate;
    m_candidate = new MemberCenter(store, m_transport, ui->passwordTextField->text(), this);
    setConnecting(true);
    m_candidate->actionLogin([this, candidate = QPointer(m_candidate)](bool accepted) {
        if (candidate)
            loginEnded(accepted);
    });
}

// The host and the path are checked before anything is stored or sent; the reason stands
// beside the field, which gets the focus.
bool PreferencesViewController::validateAddress()
{
    const QString host = ui->serverTextField->text().trimmed();
    const QString hostProblem =
        host.isEmpty() ? tr("Enter the server's host name.")
        : ServerAddress::hostProblem(host).isEmpty()
            ? QString()
            : tr("Enter a host name such as notes.example.com, an IPv4 address or an IPv6 "
                 "address in brackets, optionally followed by :port (1 to 65535).");
    const QString pathProblem =
        ServerAddress::pathProblem(ui->pathTextField->text()).isEmpty()
            ? QString()
            : tr("Leave the path empty or start it with \"/\"; it cannot hold @ ? # \\, blanks "
                 "or control characters.");
    ui->hostProblemLabel->setText(hostProblem);
    ui->hostProblemLabel->setVisible(!hostProblem.isEmpty());
    ui->pathProblemLabel->setText(pathProblem);
    ui->pathProblemLabel->setVisible(!pathProblem.isEmpty());
    if (!hostProblem.isEmpty())
        ui->serverTextField->setFocus(Qt::OtherFocusReason);
    else if (!pathProblem.isEmpty())
        ui->pathTextField->setFocus(Qt::OtherFocusReason);
    return hostProblem.isEmpty() && pathProblem.isEmpty();
}

// While the login runs, the window's messages (why a login failed) are shown here too.
void PreferencesViewController::setConnecting(bool connecting)
{
    ui->progressBar->setVisible(connecting);
    ui->saveAndConnectButton->setEnabled(!connecting);
    QObject::disconnect(m_noticeWatch);
    if (!connecting)
        return;
    m_connectingText = tr("Connecting to %1…").arg(m_candidate->host());
    ui->outcomeLabel->setText(m_connectingText);
    m_noticeWatch =
        connect(&Notices::instance(), &Notices::posted, ui->outcomeLabel, &QLabel::setText);
}

void PreferencesViewController::loginEnded(bool accepted)
{
    setConnecting(false);
    if (accepted) {
        ui->outcomeLabel->clear();
        m_savedUnconnected = false;
        emit connected();
        accept();
        return;
    }
    if (ui->outcomeLabel->text() == m_connectingText)
        ui->outcomeLabel->setText(tr("The login did not succeed."));
    ui->passwordTextField->setFocus(Qt::OtherFocusReason);
    ui->passwordTextField->selectAll();
}

// Closed without a successful connect: the login under way stops, and the settings are again
// those of the session the window uses.
void PreferencesViewController::done(int result)
{
    setConnecting(false);
    delete std::exchange(m_candidate, nullptr);
    if (result != Accepted && std::exchange(m_savedUnconnected, false))
        putBackCurrentSettings();
    QDialog::done(result);
}

void PreferencesViewController::putBackCurrentSettings()
{
    if (!m_current)
        return;
    SettingsStore& store = SettingsStore::shared();
    store.setObject(m_current->host(), QLatin1String(SettingsStore::Host));
    store.setObject(m_current->path(), QLatin1String(SettingsStore::Path));
    store.setObject(m_current->login(), QLatin1String(SettingsStore::Login));
    store.synchronize();
    if (!m_current->awaitsPassword())
        m_passwords.save(m_current->password());
    configureView();
}
