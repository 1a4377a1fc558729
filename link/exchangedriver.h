#pragma once

class Link;
struct Document;

enum class ExchangeStatus {
    Running,
    Complete,      // readout: stagingConfig holds the switch's configuration
    Failed,        // "An error occured during transmission! Action has failed."
    NoConnection,  // the hello was not answered
    CountMismatch, // transmit: the switch reports another channel count
};

// One protocol tick for a driver without dialogs (ovsctl, tests, benchmarks): takes
// at most one byte, advances the link and handles its events in the same order as
// the main window. A transmission goes on over a channel count mismatch only when
// `continueOnMismatch` is set. Every event is consumed.
ExchangeStatus exchangeTick(Link &link, Document &document, bool continueOnMismatch);
