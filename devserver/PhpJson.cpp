#include "PhpJson.h"

QByteArray PhpJson::object(const QList<Member>& members)
{
    QByteArray json = "{";
    for (const Member& member : members) {
        if (json.size() > 1)
            json += ',';
        json += string(member.first) + ':';
        const QVariant& value = member.second;
        const bool isInteger =
            value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong;
        json += isInteger ? QByteArray::number(value.toLongLong()) : string(value.toString());
    }
    return json + '}';
}

QByteArray PhpJson::string(const QString& text)
{
    QByteArray json = "\"";
    for (const QChar c : text)
        json += escapeUnit(c.unicode());
    return json + '"';
}

QByteArray PhpJson::escapeUnit(char16_t unit)
{
    switch (unit) {
    case u'"':
        return "\\\"";
    case u'\\':
        return "\\\\";
    case u'/':
        return "\\/";
    case u'\b':
        return "\\b";
    case u'\f':
        return "\\f";
    case u'\n':
        return "\\n";
    case u'\r':
        return "\\r";
    case u'\t':
        return "\\t";
    default:
        break;
    }
    if (unit >= 0x20 && unit < 0x80)
        return QByteArray(1, char(unit));
    return "\\u" + QByteArray::number(unit, 16).rightJustified(4, '0');
}
