#include "Console.h"

#include "Diagnostics.h"

#include <cstdio>

Console& Console::instance()
{
    static Console console;
    return console;
}

void Console::print(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    emit instance().linePrinted(line);
}

void Console::diagnose(const QString& line)
{
    qCWarning(notesLog).noquote() << line;
    emit instance().diagnosed(line);
}
