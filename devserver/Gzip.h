#pragma once

#include <QByteArray>

// gzip streams (RFC 1952) made with zlib, for answers sent with "Content-Encoding: gzip".
class Gzip
{
public:
    static QByteArray compress(const QByteArray& data);
    // The gzip stream of count zero bytes, about a thousandth of count in size; the zeros are
    // fed to zlib a block at a time and never exist whole.
    static QByteArray zeros(qint64 count);
};
