#include "support/PrintedLines.h"

#include "Console.h"

PrintedLines::PrintedLines()
{
    m_connection = QObject::connect(&Console::instance(), &Console::linePrinted,
                                    [this](const QString& line) { m_lines.append(line); });
}

PrintedLines::~PrintedLines()
{
    QObject::disconnect(m_connection);
}
