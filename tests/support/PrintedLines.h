#pragma once

#include <QMetaObject>
#include <QStringList>

// Records every line the program prints while it is alive.
class PrintedLines
{
public:
    PrintedLines();
    ~PrintedLines();
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
