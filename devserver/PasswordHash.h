#pragma once

#include <QByteArray>
#include <QString>

// Salted SHA-256 password hashes as stored in the users table: hex(SHA-256(salt + UTF-8 password)).
class PasswordHash
{
public:
    static QByteArray newSalt();
    static QByteArray hash(const QByteArray& salt, const QString& password);
    static bool matches(const QByteArray& salt, const QByteArray& storedHash,
                        const QString& password);
};
