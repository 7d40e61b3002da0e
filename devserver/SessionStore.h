#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QString>

enum class SessionState
{
    Valid,
    Unknown,
    Expired
};

// Login sessions, kept in memory only (a restart logs everybody out, as a PHP server losing its
// session files would). A session lives for the configured lifetime counted from its last use:
// every accepted request starts the lifetime again. An expired session stays known, so it keeps
// answering "expired" rather than "no session" until a new login replaces it.
class SessionStore
{
public:
    explicit SessionStore(int lifetimeSeconds);

    QString open(const QString& login);
    // Checks the id and, when the session is valid, counts this as its last use.
    SessionState use(const QString& id);
    void expireAll();
    void clear();

private:
    struct Session
    {
        QString login;
        qint64 lastUseMs = 0;
        bool expired = false;
    };

    static QString newId();

    QHash<QString, Session> m_sessions;
    QElapsedTimer m_clock;
    qint64 m_lifetimeMs;
};
