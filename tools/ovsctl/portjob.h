#pragma once

#include "devicesession.h"

#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class RestorePoints;

// The exchanges of a backup or a restore with the switch on one port, one connection
// after another on the event loop: a readout saved to a file, or a transmission and,
// when asked, the readout that verifies it. Each one is added to the journal. Each
// connection is tried at the given bitrates in turn while the hello goes unanswered.
class PortJob : public QObject
{
    Q_OBJECT

public:
    struct Plan
    {
        QString port;
        QList<int> bitrates;
        quint8 direction = kDirectionReadout;
        QString saveTo;     // readout: the .ovs file written after a complete readout
        Configuration send; // transmission
        QString sendFrom;   // transmission: the file `send` came from, for the journal
        RestorePoints *restorePoints = nullptr; // transmission: kept there first, or not at all
        bool continueOnMismatch = false;
        bool verify = false;
    };

    explicit PortJob(const Plan &plan, QObject *parent = nullptr);
    ~PortJob() override;

    void start();
    bool isFinished() const { return m_finished; }
    bool succeeded() const { return m_succeeded; }
    // The outcome in one line, without the port's name.
    QString resultText() const { return m_text; }

signals:
    void finished();

private:
    void runSession(quint8 direction, const QList<int> &bitrates);
    void sessionFinished();
    void conclude(bool ok, const QString &text);

    Plan m_plan;
    Document m_document;
    std::vector<std::unique_ptr<DeviceSession>> m_sessions;
    bool m_verifying = false;
    bool m_finished = false;
    bool m_succeeded = false;
    QString m_text;
    QString m_restorePoint;
};

// "Vorrix 8 at 115200 bit/s"
QString switchModelText(int channels, int bitrate);
