#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal QCoreApplication::quit() through a self-pipe, so the
// server closes its database and sockets on the way out.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

private:
    static void onSignal(int signal);
    void drain();

    static int s_fds[2];
    QSocketNotifier* m_notifier = nullptr;
};
