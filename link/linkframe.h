#pragma once

#include "document/configuration.h"
#include "document/crc.h"

#include <QByteArray>
#include <QtGlobal>

// Frame commands on the wire.
enum LinkCommand : quint8 {
    kCmdChannelRecord = 0x00, // request (tool, 1 byte) / record (switch, 10 bytes)
    kCmdWriteRecord = 0x01,
    kCmdSwitchingState = 0x02,
    kCmdMouseSpeed = 0x03,
    kCmdWriteSwitching = 0x04,
    kCmdWriteMouseSpeed = 0x05,
    kCmdClosing = 0x06,
    kCmdAck = 0x80,
    kCmdNak = 0xFF,
};

constexpr quint8 kFrameStart = 0xCE;
constexpr int kMaxPayload = 16;
constexpr int kRecordLength = 10;

// The channel record carried by 0x00 from the switch and 0x01 to it: index, placed,
// left, top, right, bottom, then both resolutions low byte first. (The .ovs file
// orders the edges differently.)
void encodeChannelRecord(quint8 index, const ChannelEntry &entry, quint8 *record);
ChannelEntry decodeChannelRecord(const quint8 *record);

// One frame as built, kept and received: start, command, length, payload, CRC.
struct LinkFrame
{
    quint8 start = 0;
    quint8 command = 0;
    quint16 length = 0;
    quint8 payload[kMaxPayload] = {};
    quint32 crc = 0;

    // Start, command, both length bytes little-endian and the first `length`
    // payload bytes: what the CRC covers.
    QByteArray headerAndPayload() const;
    // length + 8 bytes as sent.
    QByteArray wireBytes() const;
    void updateCrc() { crc = computeCrc(headerAndPayload()); }
};
