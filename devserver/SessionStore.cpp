#include "SessionStore.h"

#include <QRandomGenerator>

SessionStore::SessionStore(int lifetimeSeconds) : m_lifetimeMs(qint64(lifetimeSeconds) * 1000)
{
    m_clock.start();
}

QString SessionStore::open(const QString& login)
{
    QString id = newId();
    while (m_sessions.contains(id))
        id = newId();
    m_sessions.insert(id, Session{login, m_clock.elapsed(), false});
    return id;
}

SessionState SessionStore::use(const QString& id)
{
    const auto it = m_sessions.find(id);
    if (id.isEmpty() || it == m_sessions.end())
        return SessionState::Unknown;
    const qint64 now = m_clock.elapsed();
    if (it->expired || now - it->lastUseMs > m_lifetimeMs) {
        it->expired = true;
        return SessionState::Expired;
    }
    it->lastUseMs = now;
    return SessionState::Valid;
}

void SessionStore::expireAll()
{
    for (Session& session : m_sessions)
        session.expired = true;
}

void SessionStore::clear()
{
    m_sessions.clear();
}

QString SessionStore::newId()
{
    // 26 characters of 5 bits each, the classic PHP session id shape.
    static constexpr char alphabet[] = "0123456789abcdefghijklmnopqrstuv";
    QString id;
    id.reserve(26);
    for (int i = 0; i < 26; ++i)
        id += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(32)]);
    return id;
}
