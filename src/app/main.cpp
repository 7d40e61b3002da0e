#include "AppDelegate.h"
#include "Localization.h"

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
    return QApplication::exec();
}
