#pragma once

#include "Console.h"

#include <QStringList>

// Records every line the program prints while it is alive.
class PrintedLines
{
public:
    PrintedLines()
        : m_connection(QObject::connect(&Console::instance(), &Console::linePrinted,
                                        [this](const QString& line) { m_lines.append(line); }))
    {
    }
    ~PrintedLines() { QObject::disconnect(m_connection); }
    PrintedLines(const PrintedLines&) = delete;
    PrintedLines& operator=(const PrintedLines&) = delete;

    const QStringList& lines() const { return m_lines; }
    void clear() { m_lines.clear(); }
    bool contains(const QString& line) const { return m_lines.contains(line); }
    int count(const QString& line) const { return static_cast<int>(m_lines.count(line)); }

private:
    QStringList m_lines;
    QMetaObject::Connection m_connection;
};
