#include "document/ovsfile.h"

#include "document/crc.h"
#include "document/regularfile.h"

#include <algorithm>

namespace {

constexpr quint8 kMagic0 = 0x56;
constexpr quint8 kMagic1 = 0x65;
constexpr int kHeaderSize = 5;
constexpr int kBlockSize = 9;
constexpr int kCrcSize = 4;
// Bytes after the checksum are ignored, so no more than this is ever read.
constexpr int kLargestFile = kHeaderSize + kBlockSize * kMaxChannels + kCrcSize;

void appendLe16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

quint16 le16(const QByteArray &bytes, qsizetype pos)
{
    return quint16(quint8(bytes.at(pos)) | (quint8(bytes.at(pos + 1)) << 8));
}

} // namespace

QByteArray encodeOvs(const Configuration &config)
{
    const int n = std::min<int>(config.channelCount, kMaxChannels);
    QByteArray out;
    out.reserve(kHeaderSize + kBlockSize * n + kCrcSize);
    out.append(char(kMagic0));
    out.append(char(kMagic1));
    out.append(char(n));
    out.append(char(config.switchingEnabled));
    out.append(char(config.mouseSpeed));
    for (int i = 0; i < n; ++i) {
        const ChannelEntry &e = config.channels[i];
        out.append(char(e.placed));
        out.append(char(e.left));
        out.append(char(e.right)); // the file keeps right before top
        out.append(char(e.top));
        out.append(char(e.bottom));
        appendLe16(out, e.resolutionX);
        appendLe16(out, e.resolutionY);
    }
    const quint32 crc = computeCrc(out);
    for (int k = 0; k < kCrcSize; ++k)
        out.append(char((crc >> (8 * k)) & 0xFF));
    return out;
}

OvsLoadResult decodeOvs(const QByteArray &bytes, Configuration &staging)
{
    if (bytes.size() < 2 || quint8(bytes.at(0)) != kMagic0 || quint8(bytes.at(1)) != kMagic1)
        return OvsLoadResult::Corrupt;
    if (bytes.size() < kHeaderSize)
        return OvsLoadResult::ChecksumError;

    // A stored count above 8 never passes. Cutting it to 8 and checking the checksum
    // over the cut value would admit a file made to match that value.
    if (quint8(bytes.at(2)) > kMaxChannels)
        return OvsLoadResult::ChecksumError;
    const quint8 count = quint8(bytes.at(2));
    const qsizetype covered = kHeaderSize + kBlockSize * count;
    if (bytes.size() < covered + kCrcSize)
        return OvsLoadResult::ChecksumError;

    const QByteArray checked = bytes.left(covered);
    quint32 stored = 0;
    for (int k = 0; k < kCrcSize; ++k)
        stored |= quint32(quint8(bytes.at(covered + k))) << (8 * k);

    staging.channelCount = count;
    staging.switchingEnabled = quint8(bytes.at(3));
    staging.mouseSpeed = quint8(bytes.at(4));
    for (int i = 0; i < count; ++i) {
        const qsizetype p = kHeaderSize + kBlockSize * i;
        ChannelEntry &e = staging.channels[i];
        e.placed = quint8(bytes.at(p));
        e.left = quint8(bytes.at(p + 1));
        e.right = quint8(bytes.at(p + 2));
        e.top = quint8(bytes.at(p + 3));
        e.bottom = quint8(bytes.at(p + 4));
        e.resolutionX = le16(bytes, p + 5);
        e.resolutionY = le16(bytes, p + 7);
    }
    return computeCrc(checked) == stored ? OvsLoadResult::Loaded : OvsLoadResult::ChecksumError;
}

OvsLoadResult readOvsFile(const QString &path, Configuration &staging)
{
    // Bytes after the checksum are ignored, so a huge file is never slurped.
    QByteArray bytes;
    if (!readRegularFile(path, kLargestFile, bytes))
        return OvsLoadResult::CouldNotOpen;
    return decodeOvs(bytes, staging);
}

bool writeOvsFile(const QString &path, const Configuration &config)
{
    // The new file is renamed over the path, which would replace a device node or a FIFO
    // with a regular file and report success.
    if (!isReplaceableFile(path))
        return false;
    // A file cut short by a failed in-place write is refused by its checksum on the next
    // open.
    return saveFileContents(path, encodeOvs(config));
}
