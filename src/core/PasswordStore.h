#pragma once

#include "KeychainAccess.h"

#include <QObject>
#include <QString>
#include <QTimer>

class SettingsStore;

// Where the password lives. With a keychain it is kept there; when no keychain service answers
// it stays in the settings file (owner-only), and the client says so once. A password left in
// the settings file by an earlier version, or by a start without a keychain, is moved into the
// keychain at the first start where one answers.
//
// Reading the keychain is asynchronous and capped: a desktop bus with no Secret Service can
// stall for 25 s, and the start-up login must not wait that long. After the cap the password of
// the settings file (if any) is used for this start.
class PasswordStore : public QObject
{
    Q_OBJECT
public:
    static constexpr int ReadCapMs = 3000;
    static constexpr char FallbackLine[] =
        "no desktop keychain answered: the password is kept in the settings file, readable by "
        "you alone";
    static constexpr char StalledLine[] =
        "the desktop keychain did not answer in time: this start uses the password of the "
        "settings file";
    static constexpr char MovedLine[] =
        "the password was moved from the settings file into the desktop keychain";

    enum class Backend
    {
        SettingsFile, // the password is the settings file's "password"
        Keychain,     // the desktop keychain, with the settings file as the fallback
    };

    PasswordStore(SettingsStore& settings, Backend backend, QObject* parent = nullptr);
    ~PasswordStore() override;

    // Starts reading the keychain; readingEnded follows once, when it answered or after capMs.
    void startReading(int capMs = ReadCapMs);
    bool isReading() const { return m_reading; }

    const QString& password() const { return m_password; }
    // Keeps the password from now on and stores it: in the keychain, or where that fails in the
    // settings file.
    void save(const QString& password);

signals:
    void readingEnded();

private:
    void readAnswered(KeychainAccess::Status status, const QString& keychainPassword);
    void endReading();
    void moveIntoKeychain(const QString& password);
    void keepInSettingsFile(const QString& password);
    void sayFallback();
    void removeFromSettingsFile();
    QString settingsFilePassword() const;

    SettingsStore& m_settings;
    KeychainAccess* m_keychain = nullptr;
    QTimer m_cap;
    QString m_password;
    bool m_reading = false;
    bool m_savedSinceStart = false;
    bool m_saidFallback = false;
};
