#include "app/AppDelegate.h"
#include "app/Localization.h"
#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("notes-client"));
    QApplication::setApplicationDisplayName(QStringLiteral("Notes"));
    QApplication::setDesktopFileName(QStringLiteral("notes-client"));
    Localization::install();

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    QObject::connect(&application, &QApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);

    MainWindow window;
    window.show();
    return QApplication::exec();
}
