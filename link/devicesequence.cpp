#include "devicesequence.h"

#include "app/corvanecfg.h"

DeviceSequence::DeviceSequence(CorvaneCfg &window)
    : w(window)
{}

DeviceSequence::~DeviceSequence() = default;

void DeviceSequence::enumeratePorts() {}

void DeviceSequence::setExtraPorts(const QStringList &) {}

void DeviceSequence::startReadout() {}

void DeviceSequence::startTransmit() {}

void DeviceSequence::msTimerSlot() {}

void DeviceSequence::connectionDelaySlot() {}

void DeviceSequence::connectionDelaySlot2() {}

void DeviceSequence::closingDelaySlot() {}
