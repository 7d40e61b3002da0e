#include "AppDelegate.h"
#include "Localization.h"

#include <QApplication>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QtConcurrent>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The TLS backend, libssl and its configuration load on a worker while the window is built,
    // instead of on the main thread at the first request.
    QFuture<void> tls = QtConcurrent::run([] {
        if (QSslSocket::supportsSsl())
            QSslConfiguration::defaultConfiguration();
    });
    QApplication::setApplicationName(QStringLiteral("notes-client"));
    QApplication::setApplicationDisplayName(QStringLiteral("Notes"));
    QApplication::setDesktopFileName(QStringLiteral("notes-client"));
    Localization::install();

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    const int status = QApplication::exec();
    tls.waitForFinished();
    return status;
}
