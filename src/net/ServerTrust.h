#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <optional>

class QUrl;
class SettingsStore;

// Trust on first use, one record per server (host and port), kept in the settings file for
// every server the user has logged in to, so switching between two servers never trusts
// silently again. A record says either that the server's certificate is verified by the system
// CAs, or which key to expect: the SHA-256 of the SubjectPublicKeyInfo, written "SHA256:" and
// base64 as OpenSSH writes key fingerprints.
//
//   record      certificate verifies normally           certificate does not verify
//   none        accept; record "CA"                     the saved host only: accept, record key
//   "CA"        accept                                  refuse
//   key K       accept; another key: record "CA"        accept only key K
//
// Records are written when a login to the server succeeds, not at the first handshake, so a
// mistyped host that answers no login is never trusted. A refusal happens before anything is
// sent; it is kept until the user trusts the presented key, a login to that server succeeds, or
// another refusal replaces it.
class ServerTrust : public QObject
{
    Q_OBJECT
public:
    struct Record
    {
        enum class Kind
        {
            None,
            SystemCas,
            Key,
        };
        Kind kind = Kind::None;
        QString key; // the pinned key, or for SystemCas the key last verified
        bool operator==(const Record&) const = default;
    };

    struct Refusal
    {
        QString server;
        Record trusted;
        QString presentedKey;
    };

    static constexpr char KeyPrefix[] = "SHA256:";

    // Records are kept in settings, which also tells the host the user saved at each decision.
    explicit ServerTrust(SettingsStore& settings, QObject* parent = nullptr);

    QString savedHost() const;

    // "host:port" as records are kept: the host in lower case, the port always given.
    static QString serverOf(const QUrl& url);
    static QString fingerprint(const QByteArray& subjectPublicKeyInfo);

    Record record(const QString& server) const;

    // A certificate that does not verify. Returns whether it may be used all the same; when not
    // and the server has a record, *refusalLine says why, naming both keys.
    bool acceptsUnverified(const QUrl& url, const QString& key, QString* refusalLine);
    // A certificate that verified normally.
    void verified(const QUrl& url, const QString& key);
    // A login to the server succeeded: its first-use record is written now.
    void loginSucceeded(const QUrl& url);

    const std::optional<Refusal>& refusal() const { return m_refusal; }
    // Replaces the record of the refused server with the key it presented.
    void trustPresentedKey();

signals:
    // A record changed so that connections opened under the old one must not be used any more.
    void recordChanged(const QString& server);
    void refusalChanged();

private:
    enum class Change
    {
        Same,     // the open connections were accepted under the new record too
        Stricter, // some open connection may not be
    };
    void setRecord(const QString& server, const Record& record, Change change);
    QString refusalLine(const Refusal& refusal) const;

    SettingsStore& m_settings;
    QHash<QString, Record> m_firstUse; // seen, not yet confirmed by a login
    std::optional<Refusal> m_refusal;
};
