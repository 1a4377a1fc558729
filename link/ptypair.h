#pragma once

#include <QString>

// A pseudo-terminal pair in raw mode: the master end for a program that plays the
// device, the slave path for whoever opens it as a serial port. Both ends stay open
// for the pair's lifetime, so the master never sees a hang-up when a client closes.
// Windows has no pseudo-terminals: there open() fails and says so.
class PtyPair
{
public:
    PtyPair() = default;
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    // Opens the pair; the master is non-blocking. False (and errorString()) on failure.
    bool open();
    void close();
    bool isOpen() const { return m_master >= 0; }

    // What the client wrote, read from the master: the count read, 0 when nothing is
    // waiting, -1 when the master failed or is closed.
    qint64 read(char *data, qint64 maxSize);
    // Writes to the client as far as its input buffer takes the bytes; the rest is
    // dropped, as on a line. Returns the count written.
    qint64 write(const char *data, qint64 size);

    int masterFd() const { return m_master; }
    // The bitrate the client set on its end (both ends share one line setting); 0 when
    // unknown or closed.
    int clientBitrate() const;
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
};
