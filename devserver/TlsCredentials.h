#pragma once

#include <QSslConfiguration>
#include <QString>

#include <optional>

// The server's certificate and key: given files, or a self-signed certificate for localhost
// (DNS:localhost, IP:127.0.0.1, IP:::1) with a P-256 key that the openssl tool creates in the
// data directory the first time and that is reused afterwards.
class TlsCredentials
{
public:
    static std::optional<QSslConfiguration> load(const QString& certFile, const QString& keyFile,
                                                 QString* error);
    static std::optional<QSslConfiguration> forDataDir(const QString& dataDir, QString* error);

private:
    static bool generate(const QString& certFile, const QString& keyFile, QString* error);
    static QSslKey readKey(const QByteArray& pem);
};
