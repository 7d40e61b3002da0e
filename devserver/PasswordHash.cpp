#include "PasswordHash.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

QByteArray PasswordHash::newSalt()
{
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()),
                                          salt.size() / qsizetype(sizeof(quint32)));
    return salt.toHex();
}

QByteArray PasswordHash::hash(const QByteArray& salt, const QString& password)
{
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256).toHex();
}

bool PasswordHash::matches(const QByteArray& salt, const QByteArray& storedHash,
                           const QString& password)
{
    return hash(salt, password) == storedHash;
}
