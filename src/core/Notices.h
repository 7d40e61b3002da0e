#pragma once

#include <QObject>
#include <QString>

// The window's channel, beside the printed lines: messages written for people, in the window's
// language, about what happened to their notes and their connection. The main window shows the
// latest in its status bar.
class Notices : public QObject
{
    Q_OBJECT
public:
    static Notices& instance();

    static void post(const QString& message);
    // A message about something that may cost the user work (a draft not written, a note gone):
    // the window keeps it in view until the user dismisses it.
    static void alert(const QString& message);

signals:
    void posted(const QString& message);
    void alerted(const QString& message);

private:
    Notices() = default;
};
