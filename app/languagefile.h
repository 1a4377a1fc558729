#pragma once

#include <QByteArray>
#include <QString>

// The one-word language file. Only a regular file or a link to one is read, never a FIFO
// or a device, and never more than a few bytes; writing replaces a regular file and
// leaves anything else alone, a link included.

// The first line of the file without a leading UTF-8 byte order mark and without its
// line end (LF or CR LF). False when there is no regular file to read: the caller then
// treats it as absent.
bool readLanguageWord(const QString &path, QByteArray &word);

// Makes `path` a regular file holding exactly `word`, without a line end; false, and
// nothing touched, when `path` is a link, a FIFO, a socket, a device or a folder and
// does not hold the word already. A regular file
// that already holds the word is left as it is. In a folder the user may not write to,
// a regular file the user may write to is rewritten in place. False when it cannot be
// written.
bool writeLanguageWord(const QString &path, const QByteArray &word);
