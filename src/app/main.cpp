#include "AppDelegate.h"
#include "Localization.h"

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

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
