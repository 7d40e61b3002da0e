#pragma once

#include <QObject>
#include <QSettings>
#include <QVariantMap>

#include <memory>

// The per-user settings store: a key-value file in the user's configuration directory
// ($XDG_CONFIG_HOME/notes-client/notes-client.conf), with registered defaults that answer lookups
// of keys that hold no stored value. Defaults live in memory only and are never written.
//
// The file may hold the password (where no keychain answers) and the servers' trust records, so
// it is created owner-only (0600, folder 0700) before the first write, and its mode is tightened
// again whenever it is written.
class SettingsStore : public QObject
{
    Q_OBJECT
public:
    static constexpr char Host[] = "host";
    static constexpr char Path[] = "path";
    static constexpr char Login[] = "login";
    static constexpr char Password[] = "password";
    static constexpr char SessionId[] = "PHPSESSID";
    static constexpr char IsLoggedIn[] = "ISLOGGEDIN";

    explicit SettingsStore(const QString& filePath, QObject* parent = nullptr);
    ~SettingsStore() override;

    // The store every part of the program shares. Created on first use at defaultFilePath().
    static SettingsStore& shared();
    // Points the shared store at another file (tests, private demo configurations).
    static void setSharedFilePath(const QString& filePath);
    static QString defaultFilePath();

    QString filePath() const;

    // Later registrations add to and override earlier ones; stored values are never touched.
    void registerDefaults(const QVariantMap& defaults);

    // The stored value, else the registered default, else an invalid QVariant.
    QVariant valueForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;

    void setObject(const QString& value, const QString& key);
    void setBool(bool value, const QString& key);
    // Removes the stored value; lookups fall back to the registered default.
    void removeObjectForKey(const QString& key);

    // Writes pending changes to the file.
    bool synchronize();
    // Writes them once the current event has been handled, so several changes made in one go
    // cost one write, after the work that waits for them.
    void synchronizeSoon();

signals:
    // A stored value changed through this store.
    void valueChanged(const QString& key);

private:
    void write(const QString& key, const QVariant& value);
    void makePrivate();

    QString m_filePath;
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_defaults;
    bool m_private = false;
    bool m_syncScheduled = false;
};
