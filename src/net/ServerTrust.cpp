#include "ServerTrust.h"

#include "Console.h"
#include "SettingsStore.h"
#include "TrustRule.h"

#include <QCryptographicHash>
#include <QUrl>

#include <utility>

namespace {
constexpr char SystemCasWord[] = "CA";
constexpr char KeyWord[] = "key";

QString recordKey(const QString& server)
{
    return QStringLiteral("trust/") + server + QStringLiteral("/record");
}

QString keyKey(const QString& server)
{
    return QStringLiteral("trust/") + server + QStringLiteral("/key");
}
} // namespace

ServerTrust::ServerTrust(SettingsStore& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{
}

QString ServerTrust::savedHost() const
{
    return m_settings.stringForKey(QLatin1String(SettingsStore::Host));
}

QString ServerTrust::serverOf(const QUrl& url)
{
    const QString host = url.host().toLower();
    const QString port = QString::number(url.port(443));
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QStringLiteral("]:") + port
                                           : host + QLatin1Char(':') + port;
}

QString ServerTrust::fingerprint(const QByteArray& subjectPublicKeyInfo)
{
    const QByteArray digest =
        QCryptographicHash::hash(subjectPublicKeyInfo, QCryptographicHash::Sha256);
    return QLatin1String(KeyPrefix) +
           QString::fromLatin1(digest.toBase64(QByteArray::OmitTrailingEquals));
}

ServerTrust::Record ServerTrust::record(const QString& server) const
{
    const QString kind = m_settings.stringForKey(recordKey(server));
    const QString key = m_settings.stringForKey(keyKey(server));
    if (kind == QLatin1String(SystemCasWord))
        return {Record::Kind::SystemCas, key};
    if (kind == QLatin1String(KeyWord) && !key.isEmpty())
        return {Record::Kind::Key, key};
    return {};
}

void ServerTrust::setRecord(const QString& server, const Record& record, Change change)
{
    m_settings.setObject(QLatin1String(record.kind == Record::Kind::Key ? KeyWord : SystemCasWord),
                         recordKey(server));
    m_settings.setObject(record.key, keyKey(server));
    m_settings.synchronizeSoon();
    m_firstUse.remove(server);
    {
        const QMutexLocker locker(&m_copyLock);
        m_copiedRecords.insert(server, record);
    }
    if (change == Change::Stricter)
        emit recordChanged(server);
}

void ServerTrust::prepareFor(const QUrl& url)
{
    const QString server = serverOf(url);
    const Record trusted = record(server);
    const QString host = savedHost();
    const QMutexLocker locker(&m_copyLock);
    m_copiedHost = host;
    m_copiedRecords.insert(server, trusted);
}

ServerTrust::Verdict ServerTrust::judgeUnverified(const QUrl& url, const QString& key) const
{
    Verdict verdict;
    verdict.server = serverOf(url);
    verdict.presentedKey = key;
    const QMutexLocker locker(&m_copyLock);
    const Record trusted = m_copiedRecords.value(verdict.server);
    if (trusted.kind == Record::Kind::None) {
        // Not a server the user chose: ordinary verification applies.
        verdict.accepted = TrustRule::acceptsUnverified(m_copiedHost, url);
        if (verdict.accepted) {
            verdict.effect = Verdict::Effect::FirstUse;
            verdict.record = {Record::Kind::Key, key};
        }
        return verdict;
    }
    if (trusted.kind == Record::Kind::Key && trusted.key == key) {
        verdict.accepted = true;
        return verdict;
    }
    verdict.effect = Verdict::Effect::Refusal;
    verdict.trusted = trusted;
    verdict.refusalLine = refusalLine({verdict.server, trusted, key});
    return verdict;
}

ServerTrust::Verdict ServerTrust::judgeVerified(const QUrl& url, const QString& key) const
{
    Verdict verdict;
    verdict.accepted = true;
    verdict.server = serverOf(url);
    verdict.presentedKey = key;
    verdict.record = {Record::Kind::SystemCas, key};
    const QMutexLocker locker(&m_copyLock);
    const Record trusted = m_copiedRecords.value(verdict.server);
    if (trusted.kind == Record::Kind::None)
        verdict.effect = Verdict::Effect::FirstUse;
    else if (trusted.kind == Record::Kind::Key && trusted.key != key)
        verdict.effect = Verdict::Effect::ReplacesKey;
    else if (trusted.kind == Record::Kind::SystemCas && trusted.key != key)
        verdict.effect = Verdict::Effect::Renewed;
    return verdict;
}

void ServerTrust::apply(const Verdict& verdict)
{
    switch (verdict.effect) {
    case Verdict::Effect::None:
        break;
    case Verdict::Effect::FirstUse:
        m_firstUse.insert(verdict.server, verdict.record);
        break;
    case Verdict::Effect::Refusal:
        m_refusal = Refusal{verdict.server, verdict.trusted, verdict.presentedKey};
        emit refusalChanged();
        break;
    case Verdict::Effect::ReplacesKey:
    case Verdict::Effect::Renewed: {
        // Judged again by the records as they are now: several handshakes of one server may
        // have been judged by the same copy.
        const Record trusted = record(verdict.server);
        if (trusted.kind == Record::Kind::Key && trusted.key != verdict.presentedKey) {
            Console::diagnose(
                QStringLiteral("%1 now has a certificate the system CAs verify, with the key "
                               "%2: it replaces the trusted key %3")
                    .arg(verdict.server, verdict.presentedKey, trusted.key));
            setRecord(verdict.server, verdict.record, Change::Stricter);
        } else if (trusted.kind == Record::Kind::SystemCas && trusted.key != verdict.presentedKey) {
            // Renewed; the key is kept to be named in a refusal.
            setRecord(verdict.server, verdict.record, Change::Same);
        }
        break;
    }
    }
}

void ServerTrust::loginSucceeded(const QUrl& url)
{
    const QString server = serverOf(url);
    const auto seen = m_firstUse.constFind(server);
    if (seen != m_firstUse.cend() && record(server).kind == Record::Kind::None)
        setRecord(server, *seen, Change::Same); // what the open connections were accepted for
    if (m_refusal && m_refusal->server == server) {
        m_refusal.reset(); // the server answers with a trusted key again
        emit refusalChanged();
    }
}

void ServerTrust::trustPresentedKey()
{
    if (!m_refusal)
        return;
    const Refusal refused = *std::exchange(m_refusal, std::nullopt);
    Console::diagnose(QStringLiteral("%1: the key %2 is trusted from now on")
                          .arg(refused.server, refused.presentedKey));
    setRecord(refused.server, {Record::Kind::Key, refused.presentedKey}, Change::Stricter);
    emit refusalChanged();
}

QString ServerTrust::refusalLine(const Refusal& refusal)
{
    const QString line =
        refusal.trusted.kind == Record::Kind::Key
            ? QStringLiteral("refused %1: it presents the key %2, not the trusted key %3; nothing "
                             "was sent")
            : QStringLiteral("refused %1: the system CAs do not verify its certificate, with the "
                             "key %2; they verified the key %3; nothing was sent");
    return line.arg(refusal.server, refusal.presentedKey, refusal.trusted.key);
}
