#pragma once

#include <QByteArray>
#include <QString>

// An application/x-www-form-urlencoded body: key=value pairs joined by "&", in the order added.
// Values are UTF-8 and percent-encoded (also "+", which a server would read as a space), so the
// server receives exactly the text that was added. Keys are wire names and go out as they stand.
class FormBody
{
public:
    FormBody& add(const char* key, const QString& value);

    QByteArray bytes() const { return m_bytes; }

    static QByteArray encodeValue(const QString& value);

private:
    QByteArray m_bytes;
};
