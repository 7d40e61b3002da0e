#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace {
constexpr char OrganizationFolder[] = "notes-client";
constexpr char FileName[] = "notes-client.conf";

std::unique_ptr<SettingsStore>& sharedInstance()
{
    static std::unique_ptr<SettingsStore> store;
    return store;
}

constexpr QFile::Permissions OwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions OwnerOnlyFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
} // namespace

SettingsStore::SettingsStore(const QString& filePath, QObject* parent)
    : QObject(parent), m_filePath(filePath),
      m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

SettingsStore& SettingsStore::shared()
{
    auto& store = sharedInstance();
    if (!store)
        store = std::make_unique<SettingsStore>(defaultFilePath());
    return *store;
}

void SettingsStore::setSharedFilePath(const QString& filePath)
{
    sharedInstance() = std::make_unique<SettingsStore>(filePath);
}

QString SettingsStore::defaultFilePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QLatin1Char('/') + QLatin1String(OrganizationFolder) + QLatin1Char('/') +
           QLatin1String(FileName);
}

QString SettingsStore::filePath() const
{
    return m_filePath;
}

void SettingsStore::registerDefaults(const QVariantMap& defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_defaults.insert(it.key(), it.value());
}

QVariant SettingsStore::valueForKey(const QString& key) const
{
    const QVariant stored = m_settings->value(key);
    if (stored.isValid())
        return stored;
    return m_defaults.value(key);
}

QString SettingsStore::stringForKey(const QString& key) const
{
    return valueForKey(key).toString();
}

bool SettingsStore::boolForKey(const QString& key) const
{
    // The file keeps booleans as the words true and false.
    return valueForKey(key).toBool();
}

void SettingsStore::setObject(const QString& value, const QString& key)
{
    write(key, value);
}

void SettingsStore::setBool(bool value, const QString& key)
{
    write(key, value);
}

void SettingsStore::removeObjectForKey(const QString& key)
{
    m_settings->remove(key);
    emit valueChanged(key);
}

bool SettingsStore::synchronize()
{
    m_syncScheduled = false;
    makePrivate();
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

void SettingsStore::synchronizeSoon()
{
    if (std::exchange(m_syncScheduled, true))
        return;
    QTimer::singleShot(0, this, [this]() {
        if (m_syncScheduled)
            synchronize();
    });
}

void SettingsStore::write(const QString& key, const QVariant& value)
{
    makePrivate();
    m_settings->setValue(key, value);
    emit valueChanged(key);
}

// Creates the folder 0700 and the file 0600 before anything is written, so the password never
// sits in a file that others can read. QSettings replaces the file atomically and keeps the mode
// of the file it replaces, so this is needed once, or again when the file went away.
void SettingsStore::makePrivate()
{
    if (m_private && QFile::exists(m_filePath))
        return;
    m_private = true;
    const QFileInfo info(m_filePath);
    QDir folder = info.dir();
    if (!folder.exists())
        folder.mkpath(QStringLiteral("."));
    QFile::setPermissions(folder.absolutePath(), OwnerOnlyFolder);
    QFile file(m_filePath);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.close();
    file.setPermissions(OwnerOnlyFile);
}
