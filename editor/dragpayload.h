#pragma once

#include <QList>
#include <QString>

#include <optional>

class QMimeData;

// The text every editor drag carries: "OVS", the kind "new" (channels from the list) or
// "old" (placed tiles), a count digit and one digit per channel number (1 to 8).
struct DragPayload
{
    enum class Kind { New, Old };

    Kind kind = Kind::New;
    QList<int> channels; // channel numbers, 1 .. 8

    bool operator==(const DragPayload &o) const { return kind == o.kind && channels == o.channels; }
};

QString buildDragPayload(DragPayload::Kind kind, const QList<int> &channels);

// Parses a payload whose channels must lie in 1 .. channelCount. No result for text
// without the marker, an unknown kind, a count that is not a digit or above 8, fewer
// channel digits than the count, or a channel number out of range.
std::optional<DragPayload> parseDragPayload(const QString &text, int channelCount);
std::optional<DragPayload> parseDragPayload(const QMimeData *mime, int channelCount);
