#pragma once

#include "document/configuration.h"

#include <QByteArray>
#include <QString>

// The ".ovs" file: magic "Ve", channel count, switching state, pointer speed, one
// 9-byte block per channel and a CRC over all of it. The one implementation of the
// format; the GUI and ovsctl both use it.

enum class OvsLoadResult {
    Loaded,
    CouldNotOpen,  // "Could not open file!"
    Corrupt,       // "File corrupt! Could not read the file!" (bad magic, shorter than 2 bytes)
    ChecksumError, // "Checksum error while reading file!" (bad CRC, file ends early)
};

// 9 + 9 * channelCount bytes.
QByteArray encodeOvs(const Configuration &config);

// Reads bytes into `staging`, which the caller has set to a copy of the current
// configuration: what the file does not hold (deviceChannels, entries from the
// channel count upward) keeps its value. On failure `staging` may be partly
// written and must not be committed.
OvsLoadResult decodeOvs(const QByteArray &bytes, Configuration &staging);

// CouldNotOpen also for anything but a regular file or a link to one (FIFO, device,
// folder), which is refused without being opened.
OvsLoadResult readOvsFile(const QString &path, Configuration &staging);

// Replaces `path` atomically: on any failure the old file stays byte for byte. Refuses
// to save over anything but a regular file or a link to one (the link stays and the
// file it names is replaced). In a folder that is not writable, a writable file is
// written in place, which is not atomic.
bool writeOvsFile(const QString &path, const Configuration &config);
