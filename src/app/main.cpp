#include "AppDelegate.h"
#include "Localization.h"
#include "MainWindow.h"
#include "SingleInstance.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("notes-client"));
    QApplication::setApplicationDisplayName(QStringLiteral("Notes"));
    // The application id, which names the desktop entry; the application name above stays the
    // X11 window class, which the entry's StartupWMClass repeats.
    QApplication::setDesktopFileName(QStringLiteral(NOTES_APP_ID));
    Localization::install();

    // A second start hands over to the running client and ends.
    SingleInstance instance;
    if (!instance.claim())
        return 0;

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    QObject::connect(&instance, &SingleInstance::raiseRequested, delegate.mainWindow(),
                     &MainWindow::bringToFront);
    return QApplication::exec();
}
