#pragma once

#include <QObject>

// Counts the requests in flight in this process, so a window can show that it is waiting.
class RequestActivity : public QObject
{
    Q_OBJECT
public:
    static RequestActivity& instance();

    void started();
    void finished();
    int inFlight() const { return m_inFlight; }

signals:
    void busyChanged(bool busy);

private:
    RequestActivity() = default;
    int m_inFlight = 0;
};
