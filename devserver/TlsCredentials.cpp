#include "TlsCredentials.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>

std::optional<QSslConfiguration> TlsCredentials::load(const QString& certFile,
                                                      const QString& keyFile, QString* error)
{
    const QList<QSslCertificate> chain = QSslCertificate::fromPath(certFile, QSsl::Pem);
    QFile keyStream(keyFile);
    if (chain.isEmpty()) {
        *error = QStringLiteral("no certificate in %1").arg(certFile);
        return std::nullopt;
    }
    if (!keyStream.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(keyFile, keyStream.errorString());
        return std::nullopt;
    }
    const QSslKey key = readKey(keyStream.readAll());
    if (key.isNull()) {
        *error = QStringLiteral("no usable private key in %1").arg(keyFile);
        return std::nullopt;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

std::optional<QSslConfiguration> TlsCredentials::forDataDir(const QString& dataDir, QString* error)
{
    const QDir dir(dataDir);
    const QString certFile = dir.filePath(QStringLiteral("cert.pem"));
    const QString keyFile = dir.filePath(QStringLiteral("key.pem"));
    if (!(QFile::exists(certFile) && QFile::exists(keyFile)) && !generate(certFile, keyFile, error))
        return std::nullopt;
    return load(certFile, keyFile, error);
}

bool TlsCredentials::generate(const QString& certFile, const QString& keyFile, QString* error)
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("3650"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=localhost"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1"),
                   QStringLiteral("-keyout"), keyFile, QStringLiteral("-out"), certFile});
    if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl failed: %1 %2")
                     .arg(openssl.errorString(), QString::fromLocal8Bit(openssl.readAll()));
        QFile::remove(certFile);
        QFile::remove(keyFile);
        return false;
    }
    QFile::setPermissions(keyFile, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

QSslKey TlsCredentials::readKey(const QByteArray& pem)
{
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Ec, QSsl::Rsa, QSsl::Dsa}) {
        const QSslKey key(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            return key;
    }
    return QSslKey();
}
