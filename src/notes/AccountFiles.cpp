#include "AccountFiles.h"

#include "Console.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>

QString AccountFiles::filePath(QStandardPaths::StandardLocation location, const QString& host,
                               const QString& path, const QString& login, const QString& prefix,
                               const QString& suffix)
{
    const QString folder =
        QStandardPaths::writableLocation(location) + u'/' + QLatin1String(FolderName);
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray account = (host + u'\n' + path + u'\n' + login).toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(account, QCryptographicHash::Sha256).toHex().left(24);
    return folder + u'/' + prefix + QString::fromLatin1(hash) + suffix;
}

QString AccountFiles::setAside(const QString& filePath, const QString& what, const QString& why)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = filePath + u'.' + stamp + QStringLiteral(".unreadable");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = filePath + u'.' + stamp + u'-' + QString::number(n) + QStringLiteral(".unreadable");
    if (!QFile::rename(filePath, aside)) {
        aside.clear();
        QFile::remove(filePath);
    }
    Console::diagnose(
        QStringLiteral("the %1 %2 could not be used (%3); it was set aside as %4")
            .arg(what, filePath, why, aside.isEmpty() ? QStringLiteral("nothing") : aside));
    return aside;
}
