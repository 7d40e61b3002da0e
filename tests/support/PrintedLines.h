#pragma once

#include "Console.h"

#include <QStringList>

// Records every line the program prints while it is alive: the fixed lines of standard output
// (lines()), its diagnostics on standard error (diagnosed()), and both in the order they came,
// each diagnostic behind DiagnosticPrefix (all()).
class PrintedLines
{
public:
    static constexpr char DiagnosticPrefix[] = "stderr: ";

    PrintedLines()
        : m_connection(QObject::connect(&Console::instance(), &Console::linePrinted,
                                        [this](const QString& line) {
                                            m_lines.append(line);
                                            m_all.append(line);
                                        })),
          m_diagnostics(QObject::connect(&Console::instance(), &Console::diagnosed,
                                         [this](const QString& line) {
                                             m_diagnosed.append(line);
                                             m_all.append(DiagnosticPrefix + line);
                                         }))
    {
    }
    ~PrintedLines()
    {
        QObject::disconnect(m_connection);
        QObject::disconnect(m_diagnostics);
    }
    PrintedLines(const PrintedLines&) = delete;
    PrintedLines& operator=(const PrintedLines&) = delete;

    const QStringList& lines() const { return m_lines; }
    const QStringList& diagnosed() const { return m_diagnosed; }
    const QStringList& all() const { return m_all; }
    void clear()
    {
        m_lines.clear();
        m_diagnosed.clear();
        m_all.clear();
    }
    bool contains(const QString& line) const { return m_lines.contains(line); }
    int count(const QString& line) const { return static_cast<int>(m_lines.count(line)); }

private:
    QStringList m_lines;
    QStringList m_diagnosed;
    QStringList m_all;
    QMetaObject::Connection m_connection;
    QMetaObject::Connection m_diagnostics;
};
