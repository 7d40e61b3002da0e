#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// Decodes an application/x-www-form-urlencoded body the way PHP fills $_POST, so the server sees
// exactly the fields the real service would see for the same bytes.
class FormDecoder
{
public:
    using Fields = QHash<QString, QString>;

    // Splits on "&", skips empty pairs, splits each pair at its first "=" (no "=" means an empty
    // value), decodes both halves and normalises the key. A repeated key keeps its last value.
    static Fields decode(const QByteArray& body);

    // "+" becomes a space, "%XX" (hex digits of either case) one byte; any other "%" stays as is.
    static QByteArray percentDecode(const QByteArray& text);

    // PHP drops leading spaces of a variable name and turns "." and " " into "_".
    static QString normaliseKey(const QString& key);

private:
    static int hexValue(char digit);
};
