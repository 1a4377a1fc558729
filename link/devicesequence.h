#pragma once

#include <QStringList>

class CorvaneCfg;

// Readout and transmit from the main window: the port dialog, the connection
// delays, the protocol tick and the messages for the link's events.
class DeviceSequence
{
public:
    explicit DeviceSequence(CorvaneCfg &window);
    ~DeviceSequence();

    // Fills the window's availablePorts and selects the first one.
    void enumeratePorts();
    void setExtraPorts(const QStringList &paths);

    void startReadout();
    void startTransmit();
    void msTimerSlot();
    void connectionDelaySlot();
    void connectionDelaySlot2();
    void closingDelaySlot();

private:
    CorvaneCfg &w;
};
