#include "link/exchangedriver.h"

#include "document/document.h"
#include "link/link.h"

TickResult takeExchangeEvent(Link &link, Document &document, bool continueOnMismatch)
{
    LinkState &s = link.state();
    if (s.errorEvent) {
        s.errorEvent = false;
        return TickResult::Failed;
    }
    if (s.noConnectionEvent) {
        s.noConnectionEvent = false;
        return TickResult::NoConnection;
    }
    if (s.completeEvent) {
        s.completeEvent = false;
        return TickResult::Complete;
    }
    if (s.transmitHelloEvent) {
        s.transmitHelloEvent = false;
        const Configuration &staging = document.stagingConfig;
        if (staging.channelCount != staging.deviceChannels && !continueOnMismatch)
            return TickResult::CountMismatch;
        link.nextTransmitFrame(kHelloByte);
    }
    return TickResult::Running;
}

TickResult exchangeTick(Link &link, Document &document, bool continueOnMismatch)
{
    link.pollOneByte();
    link.linkTick();
    return takeExchangeEvent(link, document, continueOnMismatch);
}
