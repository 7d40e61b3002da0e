#pragma once

#include <QObject>

// Told about the application's launch and termination. Its one job is to register the defaults
// of the persisted settings, so every lookup yields a value of the right type even on a first run.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    void applicationDidFinishLaunching();
    // Nothing is written at shut-down: the settings stay as the last writer left them.
    void applicationWillTerminate() {}

    static void appSettings();
};
