#pragma once

#include "link/switchprobe.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

// Bitrates in the order a probe tries them when none is given: 8-channel switches and
// most others talk at the high rate, some 2- and 4-channel ones at the low one.
QList<int> probeBitrates(int onlyBitrate = 0);

// Probes several ports at the same time, one SwitchProbe each, all on the event loop.
class PortFinder : public QObject
{
    Q_OBJECT

public:
    explicit PortFinder(QObject *parent = nullptr);
    ~PortFinder() override;

    // Starts probing every port; a finder that is still running is stopped first.
    void start(const QStringList &portNames, const QList<int> &bitrates);
    // Probes more ports beside those still running; their indices follow the others'.
    void add(const QStringList &portNames, const QList<int> &bitrates);
    // Stops every probe still running (closing frame, port closed); no more signals.
    void stop();
    bool isRunning() const { return m_pending > 0; }

    int size() const { return int(m_probes.size()); }
    bool isDone(int index) const { return !m_probes.at(size_t(index))->isRunning(); }
    const ProbeResult &result(int index) const { return m_probes.at(size_t(index))->result(); }

signals:
    void portDone(int index);
    void finished();

private:
    std::vector<std::unique_ptr<SwitchProbe>> m_probes;
    int m_pending = 0;
};
