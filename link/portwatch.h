#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class PortList;

// Notices serial ports that appear or vanish (an adapter plugged in or pulled) by
// asking the system every half second and comparing with what the port list found
// last. It runs only between start() and stop(); at rest nothing wakes.
class PortWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 500;

    explicit PortWatch(const PortList &ports, QObject *parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // One comparison, as the timer makes it.
    void check();

signals:
    // The system lists other ports than the port list holds; `appeared` names the
    // new ones. The list itself is not read anew here.
    void portsChanged(const QStringList &appeared);

private:
    const PortList &m_ports;
    QTimer m_timer;
};
