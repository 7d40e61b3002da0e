#include "JsonValues.h"

#include <cmath>

bool JsonValues::readInteger(const QJsonObject& object, const char* key, int* out)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (std::trunc(number) != number || number < -2147483648.0 || number > 2147483647.0)
        return false;
    *out = static_cast<int>(number);
    return true;
}

bool JsonValues::readString(const QJsonObject& object, const char* key, QString* out)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        return false;
    *out = value.toString();
    return true;
}
