#pragma once

#include <QByteArray>
#include <QString>

// Guards for the paths a user names. Any of them can be a FIFO, a device, a socket, a
// folder or a link: opening a FIFO blocks until a writer comes, a device can stream
// without end, and a save that renames a new file over a device node destroys the node.

enum class SymLinks { Follow, Refuse };

// Reads at most `limit` bytes of `path` into `bytes` when it is a regular file (or, with
// SymLinks::Follow, a link to one). Anything else is refused before it is opened.
bool readRegularFile(const QString &path, qint64 limit, QByteArray &bytes,
                     SymLinks links = SymLinks::Follow);

// As readRegularFile, but the last `limit` bytes; `cut` tells that the file held more.
bool readRegularFileEnd(const QString &path, qint64 limit, QByteArray &bytes, bool &cut,
                        SymLinks links = SymLinks::Follow);

// True when saving to `path` replaces at most a regular file: nothing is there yet, or
// a regular file, or a link to one (the save then goes into the file the link names and
// the link stays). A dangling link is refused, so a save never creates the file a
// planted link points to.
bool isReplaceableFile(const QString &path);

// Writes bytes to path through a temporary file beside it, renamed over the path only
// when every byte got to the disk. In a folder the user may not write to, a file they may
// write to is written in place instead (not atomic: a failure midway leaves it cut
// short). False on any failure; the caller checks the path with isReplaceableFile first.
bool saveFileContents(const QString &path, const QByteArray &bytes);

// True when both paths name one existing file: the same path, a symbolic link to the
// other, a path through a linked folder, or (on Unix) a hard link.
bool isSameFile(const QString &a, const QString &b);
