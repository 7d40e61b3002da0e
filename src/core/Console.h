#pragma once

#include <QObject>
#include <QString>

// The program's printed lines: the fixed lines on standard output that scripts rely on, and
// nothing else there. The program's own diagnostics go to standard error through one logging
// category. Each line is announced too, so tests can read what was printed. Messages for people
// go through Notices.
class Console : public QObject
{
    Q_OBJECT
public:
    static Console& instance();

    // Writes the line and a newline to standard output, flushes, and emits linePrinted.
    static void print(const QString& line);
    // Writes the line to standard error (the "notes" logging category) and emits diagnosed.
    static void diagnose(const QString& line);

signals:
    void linePrinted(const QString& line);
    void diagnosed(const QString& line);

private:
    Console() = default;
};
