#pragma once

#include "link/linkconnection.h"

#include <QCoreApplication>
#include <QString>

// The program's own messages, shared word for word with the main window.
namespace Msg {

inline QString tr(const char *text)
{
    return QCoreApplication::translate("CorvaneCfg", text);
}

inline QString portInUse()
{
    return failureMessage(LinkConnection::Failure::PortOpen, 4);
}
inline QString portWriteFailed()
{
    return failureMessage(LinkConnection::Failure::PortWrite, 4);
}
inline QString noConnection(int configuredChannels)
{
    return failureMessage(LinkConnection::Failure::NoAnswer, configuredChannels);
}
inline QString transmissionError()
{
    return failureMessage(LinkConnection::Failure::Exchange, 4);
}
inline QString transmissionComplete()
{
    return tr("Transmission complete!");
}
// The command line cannot answer the window's question, so it says what to do instead.
inline QString countMismatch(int deviceChannels, int configuredChannels)
{
    return QStringLiteral("Note that the connected Vorrix has %1 channels, but there were %2 "
                          "channels configured. Nothing was sent; --yes sends anyway.")
            .arg(deviceChannels)
            .arg(configuredChannels);
}
inline QString couldNotOpen()
{
    return tr("Could not open file!");
}
inline QString fileCorrupt()
{
    return tr("File corrupt! Could not read the file!");
}
inline QString checksumError()
{
    return tr("Checksum error while reading file!");
}
inline QString couldNotSave()
{
    return tr("Could not save file!");
}

} // namespace Msg

// Exit codes of every command. ExitFindings: check found layout problems, write
// refused a file with problems, diff found differences.
enum ExitCode { ExitOk = 0, ExitDevice = 1, ExitUsage = 2, ExitFile = 3, ExitFindings = 4 };
