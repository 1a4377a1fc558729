#pragma once

#include <QByteArray>
#include <QtGlobal>

// CRC-32, polynomial 0x04C11DB7, register shifting left, data bits least significant
// first, start 0, no final XOR. "123456789" gives 0x11B4BFB4. Protects link frames
// and .ovs files.
quint32 computeCrc(const quint8 *data, int count);
quint32 computeCrc(const QByteArray &bytes);
