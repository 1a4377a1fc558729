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

// True when saving to `path` replaces at most a regular file: nothing is there yet, or
// a regular file, or a link to one (the save then goes into the file the link names and
// the link stays). A dangling link is refused, so a save never creates the file a
// planted link points to.
bool isReplaceableFile(const QString &path);
