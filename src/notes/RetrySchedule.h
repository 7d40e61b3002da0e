#pragma once

#include <QObject>
#include <QTimer>

#include <optional>
#include <utility>

// When an account whose server cannot be reached tries again: after a pause that doubles from
// the first to the longest, after the pause the server asked for (Retry-After, kept within those
// bounds), or at once when the network comes back.
class RetrySchedule : public QObject
{
    Q_OBJECT
public:
    explicit RetrySchedule(QObject* parent = nullptr);

    // Schedules the next try and returns its pause in ms.
    int schedule(std::optional<int> askedMs);
    // Stops waiting; the next try is due only when scheduled.
    void stop() { m_timer.stop(); }
    // The server answered: the next pause is the first again.
    void reset();
    // The pause of the try scheduled, or -1 when none is.
    int retryInMs() const { return m_timer.isActive() ? m_timer.interval() : -1; }

    // The pauses for schedules made from now on (2 s to 60 s unless set).
    static void setDelays(int firstMs, int mostMs);

signals:
    void due();

private:
    void watchNetwork();

    QTimer m_timer;
    int m_firstMs = 0;
    int m_mostMs = 0;
    int m_nextMs = 0;
    bool m_waiting = false;
    bool m_watchingNetwork = false;
};
