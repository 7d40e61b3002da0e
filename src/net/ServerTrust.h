#pragma once

#include <QHash>
#include <QMutex>
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

    // What one handshake is judged to be, and what it changes in the records once applied.
    struct Verdict
    {
        enum class Effect
        {
            None,
            FirstUse,    // seen for the first time: recorded when a login succeeds
            Refusal,     // refused: the server's record and the presented key are kept
            ReplacesKey, // the system CAs now verify a server that had a pinned key
            Renewed,     // the system CAs verify another key of the same server
        };
        bool accepted = false;
        QString refusalLine; // when refused with a record, why, naming both keys
        Effect effect = Effect::None;
        QString server;
        Record record;  // FirstUse, ReplacesKey, Renewed: the record the handshake makes
        Record trusted; // Refusal: the record it was refused by
        QString presentedKey;
    };

    // Before a request to url goes out, from the main thread: the records it will be judged by.
    void prepareFor(const QUrl& url);
    // Judged from what prepareFor() copied, on any thread. A certificate that does not verify,
    // and one that verified normally.
    Verdict judgeUnverified(const QUrl& url, const QString& key) const;
    Verdict judgeVerified(const QUrl& url, const QString& key) const;
    // On the main thread.
    void apply(const Verdict& verdict);
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
    static QString refusalLine(const Refusal& refusal);

    SettingsStore& m_settings;
    QHash<QString, Record> m_firstUse; // seen, not yet confirmed by a login
    std::optional<Refusal> m_refusal;
    // What handshakes on the transport's thread are judged by: the saved host and the records
    // of the servers requests went to.
    mutable QMutex m_copyLock;
    QString m_copiedHost;
    QHash<QString, Record> m_copiedRecords;
};
