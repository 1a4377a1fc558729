#include "document/crc.h"

#include <array>

namespace {

// Bit-reversed (right-shifting) form of the left-shifting register fed LSB first:
// the same CRC, byte-wise with a table, reversed once at the end.
constexpr quint32 kReflectedPoly = 0xEDB88320u;

constexpr std::array<quint32, 256> makeTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 r = n;
        for (int k = 0; k < 8; ++k)
            r = (r & 1u) ? (r >> 1) ^ kReflectedPoly : r >> 1;
        table[n] = r;
    }
    return table;
}

constexpr std::array<quint32, 256> kTable = makeTable();

quint32 reverseBits(quint32 v)
{
    v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
    v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
    v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
    return (v >> 16) | (v << 16);
}

} // namespace

quint32 computeCrc(const quint8 *data, int count)
{
    quint32 r = 0;
    for (int i = 0; i < count; ++i)
        r = (r >> 8) ^ kTable[(r ^ data[i]) & 0xFFu];
    return reverseBits(r);
}

quint32 computeCrc(const QByteArray &bytes)
{
    return computeCrc(reinterpret_cast<const quint8 *>(bytes.constData()), int(bytes.size()));
}
