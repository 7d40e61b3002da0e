#include "PasswordStore.h"

#include "Console.h"
#include "Notices.h"
#include "SettingsStore.h"

#include <utility>

using Status = KeychainAccess::Status;

PasswordStore::PasswordStore(SettingsStore& settings, Backend backend, QObject* parent)
    : QObject(parent), m_settings(settings),
      m_keychain(backend == Backend::Keychain ? new KeychainAccess(this) : nullptr)
{
    m_password = settingsFilePassword();
    m_cap.setSingleShot(true);
    connect(&m_cap, &QTimer::timeout, this, [this]() {
        Console::diagnose(QLatin1String(StalledLine));
        endReading();
    });
}

PasswordStore::~PasswordStore() = default;

QString PasswordStore::settingsFilePassword() const
{
    return m_settings.stringForKey(QLatin1String(SettingsStore::Password));
}

void PasswordStore::startReading(int capMs)
{
    m_password = settingsFilePassword();
    if (!m_keychain)
        return;
    m_reading = true;
    m_cap.start(capMs);
    m_keychain->read(
        [this](Status status, const QString& password) { readAnswered(status, password); });
}

// An answer after the cap still moves a password into the keychain, and still counts where the
// user has not saved another one since.
void PasswordStore::readAnswered(Status status, const QString& keychainPassword)
{
    if (!m_savedSinceStart) {
        const QString inFile = settingsFilePassword();
        if (status == Status::Unavailable && !inFile.isEmpty())
            sayFallback();
        else if (status != Status::Unavailable && !inFile.isEmpty())
            moveIntoKeychain(inFile); // the file's is the newer: it is written only on failures
        else if (status == Status::Done)
            m_password = keychainPassword;
    }
    if (m_reading)
        endReading();
}

void PasswordStore::endReading()
{
    m_cap.stop();
    m_reading = false;
    emit readingEnded();
}

void PasswordStore::moveIntoKeychain(const QString& password)
{
    m_password = password;
    m_keychain->write(password, [this](Status status, const QString&) {
        if (status != Status::Done)
            return keepInSettingsFile(settingsFilePassword());
        removeFromSettingsFile();
        Console::diagnose(QLatin1String(MovedLine));
    });
}

void PasswordStore::save(const QString& password)
{
    m_password = password;
    m_savedSinceStart = true;
    if (!m_keychain)
        return keepInSettingsFile(password);
    m_keychain->write(password, [this, password](Status status, const QString&) {
        if (status == Status::Done)
            removeFromSettingsFile();
        else
            keepInSettingsFile(password);
    });
}

void PasswordStore::keepInSettingsFile(const QString& password)
{
    m_settings.setObject(password, QLatin1String(SettingsStore::Password));
    m_settings.synchronize();
    sayFallback();
}

// Once per start, whether the password was found in the file or has just been written there.
void PasswordStore::sayFallback()
{
    if (!m_keychain || std::exchange(m_saidFallback, true))
        return;
    Console::diagnose(QLatin1String(FallbackLine));
    Notices::post(tr("No desktop keychain answered: your password is kept in the settings file, "
                     "readable by you alone."));
}

void PasswordStore::removeFromSettingsFile()
{
    m_settings.removeObjectForKey(QLatin1String(SettingsStore::Password));
    m_settings.synchronize();
}
