#pragma once

#include <QObject>
#include <QString>

// The program's printed lines: every notice, error and confirmation is one line on standard
// output, in the fixed wording scripts rely on. The same line is announced through linePrinted so
// tests can read what was printed. Messages for people go through Notices.
class Console : public QObject
{
    Q_OBJECT
public:
    static Console& instance();

    // Writes the line and a newline to standard output, flushes, and emits linePrinted.
    static void print(const QString& line);

signals:
    void linePrinted(const QString& line);

private:
    Console() = default;
};
