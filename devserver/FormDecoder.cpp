#include "FormDecoder.h"

FormDecoder::Fields FormDecoder::decode(const QByteArray& body)
{
    Fields fields;
    const QList<QByteArray> pairs = body.split('&');
    for (const QByteArray& pair : pairs) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const QByteArray rawKey = equals < 0 ? pair : pair.left(equals);
        const QByteArray rawValue = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        const QString key = normaliseKey(QString::fromUtf8(percentDecode(rawKey)));
        if (key.isEmpty())
            continue;
        fields.insert(key, QString::fromUtf8(percentDecode(rawValue)));
    }
    return fields;
}

QByteArray FormDecoder::percentDecode(const QByteArray& text)
{
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '+') {
            decoded.append(' ');
        } else if (c == '%' && i + 2 < text.size() && hexValue(text.at(i + 1)) >= 0 &&
                   hexValue(text.at(i + 2)) >= 0) {
            decoded.append(char(hexValue(text.at(i + 1)) * 16 + hexValue(text.at(i + 2))));
            i += 2;
        } else {
            decoded.append(c);
        }
    }
    return decoded;
}

QString FormDecoder::normaliseKey(const QString& key)
{
    qsizetype start = 0;
    while (start < key.size() && key.at(start) == u' ')
        ++start;
    QString normalised = key.mid(start);
    for (QChar& c : normalised) {
        if (c == u'.' || c == u' ')
            c = u'_';
    }
    return normalised;
}

int FormDecoder::hexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}
