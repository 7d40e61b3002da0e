#include "Gzip.h"

#include <QByteArrayView>

#include <zlib.h>

#include <array>
#include <functional>

namespace {

constexpr qsizetype BlockSize = 64 * 1024;
constexpr int GzipWindowBits = 15 + 16; // the largest window, with gzip header and trailer
constexpr int MemoryLevel = 9;

// Deflates the blocks that next() hands out until it hands out an empty one.
QByteArray deflateBlocks(const std::function<QByteArrayView()>& next)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, GzipWindowBits, MemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray compressed;
    std::array<char, BlockSize> buffer;
    int flush = Z_NO_FLUSH;
    while (flush != Z_FINISH) {
        const QByteArrayView block = next();
        flush = block.isEmpty() ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
        stream.avail_in = uInt(block.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            deflate(&stream, flush);
            compressed.append(buffer.data(), qsizetype(buffer.size() - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return compressed;
}

} // namespace

QByteArray Gzip::compress(const QByteArray& data)
{
    qsizetype offset = 0;
    return deflateBlocks([&]() {
        const QByteArrayView block =
            QByteArrayView(data).sliced(offset).first(qMin(BlockSize, data.size() - offset));
        offset += block.size();
        return block;
    });
}

QByteArray Gzip::zeros(qint64 count)
{
    static const QByteArray block(BlockSize, '\0');
    qint64 left = count;
    return deflateBlocks([&]() {
        const qsizetype size = qsizetype(qMin<qint64>(BlockSize, left));
        left -= size;
        return QByteArrayView(block).first(size);
    });
}
