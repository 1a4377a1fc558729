#include "link/exchangedriver.h"

#include "document/document.h"
#include "link/link.h"

ExchangeStatus exchangeTick(Link &link, Document &document, bool continueOnMismatch)
{
    link.pollOneByte();
    link.linkTick();
    LinkState &s = link.state();
    if (s.errorEvent) {
        s.errorEvent = false;
        return ExchangeStatus::Failed;
    }
    if (s.noConnectionEvent) {
        s.noConnectionEvent = false;
        return ExchangeStatus::NoConnection;
    }
    if (s.completeEvent) {
        s.completeEvent = false;
        return ExchangeStatus::Complete;
    }
    if (s.transmitHelloEvent) {
        s.transmitHelloEvent = false;
        const Configuration &staging = document.stagingConfig;
        if (staging.channelCount != staging.deviceChannels && !continueOnMismatch)
            return ExchangeStatus::CountMismatch;
        link.nextTransmitFrame(kHelloByte);
    }
    return ExchangeStatus::Running;
}
