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

// Where the assembly of a received frame stands; LinkState::rxState holds it.
enum FrameRxState : quint8 {
    kRxIdle = 0, // between frames: waiting for a start byte
    kRxCommand = 1,
    kRxLength = 2, // two bytes, low byte first; the index says which
    kRxPayload = 3,
    kRxCrc = 4, // four bytes, low byte first
};

// What one received byte did.
enum class FrameByte : quint8 {
    Taken,    // a byte of a frame still arriving, or one lost to a state out of range
    Started,  // a start byte between frames; the payload holds what it held
    Outside,  // any other byte between frames: it belongs to no frame
    TooLong,  // the length does not fit the payload: the frame is given up
    Complete, // the last CRC byte, and the CRC checks
    BadCrc,   // the last CRC byte, and the CRC does not check
};

// Assembles received frames byte by byte, the tool's receiver and the emulator alike, in
// the frame, state and index each keeps for it.
FrameByte assembleFrameByte(LinkFrame &frame, quint8 &state, quint16 &index, quint8 byte);
