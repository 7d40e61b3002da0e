#include "RetrySchedule.h"

#include <QNetworkInformation>

namespace {
std::pair<int, int>& delays()
{
    static std::pair<int, int> firstAndMost{2000, 60000};
    return firstAndMost;
}
} // namespace

RetrySchedule::RetrySchedule(QObject* parent) : QObject(parent)
{
    std::tie(m_firstMs, m_mostMs) = delays();
    m_nextMs = m_firstMs;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RetrySchedule::due);
}

void RetrySchedule::setDelays(int firstMs, int mostMs)
{
    delays() = {firstMs, mostMs};
}

int RetrySchedule::schedule(std::optional<int> askedMs)
{
    if (!m_waiting)
        watchNetwork();
    m_waiting = true;
    const int pause = qBound(m_firstMs, askedMs.value_or(m_nextMs), m_mostMs);
    m_timer.start(pause);
    m_nextMs = qMin(m_nextMs * 2, m_mostMs);
    return pause;
}

void RetrySchedule::reset()
{
    m_timer.stop();
    m_waiting = false;
    m_nextMs = m_firstMs;
}

// Back on a network: try at once instead of waiting out the pause. Loaded only when first
// needed, since the platform's network service costs start-up time that an online start does
// not need.
void RetrySchedule::watchNetwork()
{
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    if (!QNetworkInformation::instance() || std::exchange(m_watchingNetwork, true))
        return;
    connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) {
                if (m_waiting && reachability == QNetworkInformation::Reachability::Online)
                    emit due();
            });
}
