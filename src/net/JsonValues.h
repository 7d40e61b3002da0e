#pragma once

#include <QJsonObject>

// Typed reads of the members of a server's JSON answer.
class JsonValues
{
public:
    // True when the member is a number with a whole value that fits an int. JSON numbers arrive
    // as doubles, so 1.0 counts and 1.5 does not.
    static bool readInteger(const QJsonObject& object, const char* key, int* out);
    static bool readString(const QJsonObject& object, const char* key, QString* out);
};
