#pragma once

#include <QIODevice>

// An in-memory serial line end for in-process tests and benchmarks: what the program
// writes collects for takeWritten(); what the far end sends is put in with inject().
class MemoryPort : public QIODevice
{
    Q_OBJECT

public:
    using QIODevice::QIODevice;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return m_incoming.size() - m_readPos + QIODevice::bytesAvailable();
    }

    void inject(const QByteArray &bytes)
    {
        if (bytes.isEmpty())
            return;
        m_incoming.append(bytes);
        emit readyRead();
    }
    QByteArray takeWritten()
    {
        QByteArray out;
        out.swap(m_written);
        return out;
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = qMin<qint64>(maxSize, m_incoming.size() - m_readPos);
        memcpy(data, m_incoming.constData() + m_readPos, size_t(n));
        m_readPos += n;
        if (m_readPos == m_incoming.size()) {
            m_incoming.clear();
            m_readPos = 0;
        }
        return n;
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_written.append(data, size);
        return size;
    }

private:
    QByteArray m_incoming;
    qint64 m_readPos = 0;
    QByteArray m_written;
};
