#include "Notices.h"

Notices& Notices::instance()
{
    static Notices notices;
    return notices;
}

void Notices::post(const QString& message)
{
    emit instance().posted(message);
}

void Notices::alert(const QString& message)
{
    emit instance().alerted(message);
}
