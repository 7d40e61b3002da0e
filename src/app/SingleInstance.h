#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

// One client per user, so drafts and the offline copy have one writer. The first start holds a
// lock file in $XDG_RUNTIME_DIR (a crashed holder's lock is taken over) and, holding it, listens
// on a socket beside it that only the user can reach. A later start connects, asks the first to
// show its window, and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr char RaiseWish[] = "raise\n";

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first (it listens from now on), or when the runtime folder
    // cannot be used at all. False when another one runs and was asked to show its window.
    bool claim();

signals:
    // A later start asked for the window.
    void raiseRequested();

private:
    void takeConnection();

    QString m_socketPath;
    QLockFile m_lock;
    QLocalServer m_server;
};
