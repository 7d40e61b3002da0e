#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

// Writes JSON objects byte for byte as PHP's json_encode() does with its default flags: members
// in the given order, "/" written as "\/" and every non-ASCII character as a \uXXXX escape. The
// client thus meets the same text the real service sends.
class PhpJson
{
public:
    using Member = std::pair<QString, QVariant>;

    // Integer values become JSON numbers, everything else a JSON string.
    static QByteArray object(const QList<Member>& members);
    static QByteArray string(const QString& text);

private:
    static QByteArray escapeUnit(char16_t unit);
};
