#include "link/linkframe.h"

#include <algorithm>

QByteArray LinkFrame::headerAndPayload() const
{
    const int n = std::min<int>(length, kMaxPayload);
    QByteArray bytes;
    bytes.reserve(4 + n);
    bytes.append(char(start));
    bytes.append(char(command));
    bytes.append(char(length & 0xFF));
    bytes.append(char(length >> 8));
    bytes.append(reinterpret_cast<const char *>(payload), n);
    return bytes;
}

QByteArray LinkFrame::wireBytes() const
{
    QByteArray bytes = headerAndPayload();
    for (int k = 0; k < 4; ++k)
        bytes.append(char((crc >> (8 * k)) & 0xFF));
    return bytes;
}

FrameByte assembleFrameByte(LinkFrame &frame, quint8 &state, quint16 &index, quint8 byte)
{
    switch (state) {
    case kRxIdle:
        if (byte != kFrameStart)
            return FrameByte::Outside;
        frame.start = byte;
        state = kRxCommand;
        return FrameByte::Started;
    case kRxCommand:
        frame.command = byte;
        index = 0;
        state = kRxLength;
        return FrameByte::Taken;
    case kRxLength:
        if (index == 0) {
            frame.length = byte;
            index = 1;
            return FrameByte::Taken;
        }
        frame.length = quint16(frame.length | (byte << 8));
        index = 0;
        if (frame.length > kMaxPayload) {
            state = kRxIdle;
            return FrameByte::TooLong;
        }
        state = frame.length == 0 ? kRxCrc : kRxPayload;
        return FrameByte::Taken;
    case kRxPayload:
        frame.payload[index] = byte;
        if (++index >= frame.length) {
            index = 0;
            state = kRxCrc;
        }
        return FrameByte::Taken;
    case kRxCrc:
        // The first byte replaces the whole field: the start byte leaves the CRC of the
        // frame before in place.
        if (index == 0)
            frame.crc = byte;
        else
            frame.crc |= quint32(byte) << (8 * index);
        if (++index < 4)
            return FrameByte::Taken;
        index = 0;
        state = kRxIdle;
        return computeCrc(frame.headerAndPayload()) == frame.crc ? FrameByte::Complete
                                                                 : FrameByte::BadCrc;
    default:
        state = kRxIdle;
        index = 0;
        return FrameByte::Taken;
    }
}

void encodeChannelRecord(quint8 index, const ChannelEntry &entry, quint8 *record)
{
    record[0] = index;
    record[1] = entry.placed;
    record[2] = entry.left;
    record[3] = entry.top;
    record[4] = entry.right;
    record[5] = entry.bottom;
    record[6] = quint8(entry.resolutionX & 0xFF);
    record[7] = quint8(entry.resolutionX >> 8);
    record[8] = quint8(entry.resolutionY & 0xFF);
    record[9] = quint8(entry.resolutionY >> 8);
}

ChannelEntry decodeChannelRecord(const quint8 *record)
{
    ChannelEntry e;
    e.placed = record[1];
    e.left = record[2];
    e.top = record[3];
    e.right = record[4];
    e.bottom = record[5];
    e.resolutionX = quint16(record[6] | (record[7] << 8));
    e.resolutionY = quint16(record[8] | (record[9] << 8));
    return e;
}
