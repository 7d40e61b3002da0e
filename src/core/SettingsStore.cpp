#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QtConcurrent>

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

SettingsStore::~SettingsStore()
{
    synchronize();
}

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
    for (const Changes* changes : {&m_pending, &m_writing}) {
        const auto it = changes->constFind(key);
        if (it != changes->cend())
            return it->has_value() ? **it : m_defaults.value(key);
    }
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
    change(key, QVariant(value));
}

void SettingsStore::setBool(bool value, const QString& key)
{
    change(key, QVariant(value));
}

void SettingsStore::removeObjectForKey(const QString& key)
{
    change(key, std::nullopt);
}

// The folder and the file are made private at the first change already, so a file an older
// version left readable to others is closed before anything new is due to go into it.
void SettingsStore::change(const QString& key, const std::optional<QVariant>& value)
{
    if (!m_private || !QFile::exists(m_filePath)) {
        m_private = true;
        makePrivate(m_filePath);
    }
    m_pending.insert(key, value);
    emit valueChanged(key);
    synchronizeSoon();
}

bool SettingsStore::synchronize()
{
    m_writeScheduled = false;
    bool written = true;
    if (std::exchange(m_writingNow, false)) {
        ++m_writeNumber;
        written = m_write.result(); // waits for it
        m_writing.clear();
    }
    if (!m_pending.isEmpty())
        written = writeFile(m_filePath, std::exchange(m_pending, {})) && written;
    // The reading copy takes up what the file holds now.
    m_settings->sync();
    return written && m_settings->status() == QSettings::NoError;
}

bool SettingsStore::isWriting() const
{
    return m_writingNow || !m_pending.isEmpty();
}

void SettingsStore::synchronizeSoon()
{
    if (std::exchange(m_writeScheduled, true))
        return;
    QTimer::singleShot(0, this, [this]() {
        if (m_writeScheduled && !m_writingNow)
            writeOnWorker();
    });
}

// One write at a time: changes made while one is under way wait for the next.
void SettingsStore::writeOnWorker()
{
    m_writeScheduled = false;
    if (m_pending.isEmpty())
        return;
    m_writing = std::exchange(m_pending, {});
    m_writingNow = true;
    m_write = QtConcurrent::run(&SettingsStore::writeFile, m_filePath, m_writing);
    m_write.then(this, [this, number = ++m_writeNumber](bool) {
        if (number == m_writeNumber && m_writingNow)
            writeEnded();
    });
}

void SettingsStore::writeEnded()
{
    m_writingNow = false;
    m_settings->sync();
    m_writing.clear();
    if (!m_pending.isEmpty())
        writeOnWorker();
}

// Stores of one file share what Qt has read of it, in any thread; this one lives only as long as
// the write.
bool SettingsStore::writeFile(const QString& filePath, const Changes& changes)
{
    makePrivate(filePath);
    QSettings file(filePath, QSettings::IniFormat);
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        if (it->has_value())
            file.setValue(it.key(), **it);
        else
            file.remove(it.key());
    }
    file.sync();
    return file.status() == QSettings::NoError;
}

// Creates the folder 0700 and the file 0600 before anything is written, so the password never
// sits in a file that others can read. QSettings replaces the file atomically and keeps the mode
// of the file it replaces.
void SettingsStore::makePrivate(const QString& filePath)
{
    const QFileInfo info(filePath);
    QDir folder = info.dir();
    if (!folder.exists())
        folder.mkpath(QStringLiteral("."));
    QFile::setPermissions(folder.absolutePath(), OwnerOnlyFolder);
    QFile file(filePath);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.close();
    file.setPermissions(OwnerOnlyFile);
}
