#pragma once

#include "link/linkframe.h"

class QIODevice;

// The state the frame sender, the receiver and the readout and transmit sequence
// share. All counters start at 0, all flags false.
struct LinkState
{
    QIODevice *serialPort = nullptr;
    quint8 direction = 0; // 0 = readout, 1 = transmit
    LinkFrame lastSent;
    LinkFrame rxFrame;
    quint8 rxState = kRxIdle;
    quint16 rxIndex = 0;
    quint8 pendingFrames = 0;
    quint16 rxIdleTicks = 0;
    bool awaitingAck = false;
    bool awaitingHello = false;
    quint16 ackWaitTicks = 0;
    quint8 naksSent = 0;
    quint8 naksReceived = 0;
    // Raised by the link, consumed by the sequence.
    bool completeEvent = false;
    bool transmitHelloEvent = false;
    bool errorEvent = false;
    bool noConnectionEvent = false;
};

constexpr quint8 kDirectionReadout = 0;
constexpr quint8 kDirectionTransmit = 1;
