#include "LibraryPreload.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QLibrary>
#include <QSqlDatabase>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QtConcurrent>

namespace {

void loadTls()
{
    if (QSslSocket::supportsSsl())
        QSslConfiguration::defaultConfiguration();
}

// QtKeychain opens libsecret by this name at its first job.
void loadKeychainLibrary()
{
    QLibrary library(QStringLiteral("secret-1"), 0);
    library.load(); // stays loaded when the object goes
}

// An image of no stated format is offered to every image format plugin, which loads them all,
// as the style's first icon would on the main thread.
void loadImagePlugins()
{
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_ARGB32).save(&out, "PNG");
    QBuffer in(&png);
    in.open(QIODevice::ReadOnly);
    QImageReader(&in).read();
}

void loadSqlDriver()
{
    const QString name = QStringLiteral("notes-client-preload");
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    QSqlDatabase::removeDatabase(name);
}

} // namespace

LibraryPreload::~LibraryPreload()
{
    waitForFinished();
}

void LibraryPreload::start()
{
    m_loading = QtConcurrent::run([] {
        loadTls();
        loadKeychainLibrary();
        loadImagePlugins();
        loadSqlDriver();
    });
}

void LibraryPreload::waitForFinished()
{
    m_loading.waitForFinished();
}
