#pragma once

class Link;
struct Document;

// What one protocol tick brought to an exchange.
enum class TickResult {
    Running,
    Complete,      // readout: stagingConfig holds the switch's configuration
    Failed,        // "An error occured during transmission! Action has failed."
    NoConnection,  // the hello was not answered
    CountMismatch, // transmit: the switch reports another channel count
};

// The order in which the link's events are handled, for every driver of an exchange
// (the connection, and tests and benchmarks that drive a link in memory): consumes the
// first event the link has raised. A transmission goes on over a channel count mismatch
// only when `continueOnMismatch` is set.
TickResult takeExchangeEvent(Link &link, Document &document, bool continueOnMismatch);

// One protocol tick in memory: takes at most one byte, advances the link and takes its
// event.
TickResult exchangeTick(Link &link, Document &document, bool continueOnMismatch);
