#include "support/TestSettings.h"

#include "AppDelegate.h"
#include "Localization.h"
#include "SettingsStore.h"

#include <QLocale>

TestSettings::TestSettings()
{
    SettingsStore::setSharedFilePath(filePath());
    // Drafts and caches go to this folder too.
    qputenv("XDG_DATA_HOME", m_folder.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CACHE_HOME", m_folder.filePath(QStringLiteral("cache")).toUtf8());
    AppDelegate::appSettings();
    Localization::install(QLocale(QLocale::English));
}

TestSettings::~TestSettings() = default;

QString TestSettings::filePath() const
{
    return m_folder.filePath(QStringLiteral("config/notes-client.conf"));
}

void TestSettings::save(const QString& host, const QString& login, const QString& password,
                        const QString& path)
{
    SettingsStore& store = SettingsStore::shared();
    store.setObject(host, QLatin1String(SettingsStore::Host));
    store.setObject(path, QLatin1String(SettingsStore::Path));
    store.setObject(login, QLatin1String(SettingsStore::Login));
    store.setObject(password, QLatin1String(SettingsStore::Password));
    store.synchronize();
}
