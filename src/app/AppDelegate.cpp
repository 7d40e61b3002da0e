#include "app/AppDelegate.h"

#include "app/SettingsStore.h"

void AppDelegate::applicationDidFinishLaunching()
{
    appSettings();
}

void AppDelegate::appSettings()
{
    SettingsStore& store = SettingsStore::shared();
    store.registerDefaults({
        {SettingsStore::SessionId, QString()},
        {SettingsStore::Host, QString()},
        {SettingsStore::Path, QString()},
        {SettingsStore::Login, QString()},
        {SettingsStore::Password, QString()},
    });
    store.registerDefaults({{SettingsStore::IsLoggedIn, false}});
    store.synchronize();
}
