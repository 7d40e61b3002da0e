#pragma once

#include <QFuture>
#include <QHash>
#include <QObject>
#include <QSettings>
#include <QVariantMap>

#include <memory>
#include <optional>

// The per-user settings store: a key-value file in the user's configuration directory
// ($XDG_CONFIG_HOME/notes-client/notes-client.conf), with registered defaults that answer lookups
// of keys that hold no stored value. Defaults live in memory only and are never written.
//
// The file may hold the password (where no keychain answers) and the servers' trust records, so
// it is created owner-only (0600, folder 0700) before the first write, and its mode is tightened
// again whenever it is written.
//
// Changes are kept in memory and answered from there at once; the file is written once per set
// of changes. synchronize() writes at once, on the calling thread; synchronizeSoon() and every
// change without it leave the writing (file lock, atomic replace, flush to disk) to a worker once
// the current event has been handled, one write after the other, so the main thread never waits
// for the disk.
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

    // Writes pending changes to the file now, after a write under way has ended.
    bool synchronize();
    // Writes them on a worker once the current event has been handled, so several changes made
    // in one go cost one write, beside the work that waits for them.
    void synchronizeSoon();
    // Changes that have not reached the file yet, waiting or being written.
    bool isWriting() const;

signals:
    // A stored value changed through this store.
    void valueChanged(const QString& key);

private:
    // A value to store, or none for a removal.
    using Changes = QHash<QString, std::optional<QVariant>>;

    void change(const QString& key, const std::optional<QVariant>& value);
    void writeOnWorker();
    void writeEnded();
    static bool writeFile(const QString& filePath, const Changes& changes);
    static void makePrivate(const QString& filePath);

    QString m_filePath;
    std::unique_ptr<QSettings> m_settings; // reads only: every write goes through writeFile()
    QVariantMap m_defaults;
    Changes m_pending; // not yet handed to a write
    Changes m_writing; // being written by the worker
    QFuture<bool> m_write;
    bool m_writingNow = false;
    int m_writeNumber = 0; // tells a write's late report from the current one's
    bool m_private = false;
    bool m_writeScheduled = false;
};
