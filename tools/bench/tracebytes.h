#pragma once

#include <QFile>
#include <QString>

// The bytes received in an ovsctl line trace (--trace): its RX lines hold them as hex
// pairs separated by spaces. -1 when the trace cannot be read.
inline int receivedBytesInTrace(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    int n = 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const int at = line.indexOf(" RX ");
        if (at >= 0)
            n += int(line.mid(at + 4).split(' ').size());
    }
    return n;
}
