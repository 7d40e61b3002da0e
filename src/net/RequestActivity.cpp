#include "net/RequestActivity.h"

RequestActivity& RequestActivity::instance()
{
    static RequestActivity activity;
    return activity;
}

void RequestActivity::started()
{
    if (++m_inFlight == 1)
        emit busyChanged(true);
}

void RequestActivity::finished()
{
    if (m_inFlight > 0 && --m_inFlight == 0)
        emit busyChanged(false);
}
