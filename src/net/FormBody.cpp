#include "FormBody.h"

#include <QUrl>

FormBody& FormBody::add(const char* key, const QString& value)
{
    if (!m_bytes.isEmpty())
        m_bytes += '&';
    m_bytes += key;
    m_bytes += '=';
    m_bytes += encodeValue(value);
    return *this;
}

QByteArray FormBody::encodeValue(const QString& value)
{
    // Leaves only the unreserved characters (letters, digits, "-", ".", "_", "~") raw.
    return QUrl::toPercentEncoding(value);
}
