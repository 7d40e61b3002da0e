#pragma once

#include <QObject>
#include <QString>

// The program's reporting channel: every notice, error and confirmation is one printed line on
// standard output. The same line is announced through linePrinted so the main window can mirror
// it in its status bar and tests can read what was printed.
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
