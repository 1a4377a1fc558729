#include "dragpayload.h"

#include "document/configuration.h"

#include <QMimeData>

namespace {
const QLatin1String kMarker("OVS");
const QLatin1String kNew("new");
const QLatin1String kOld("old");

// The payload is ASCII: other scripts' digits are not channel numbers.
int asciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : -1;
}
} // namespace

QString buildDragPayload(DragPayload::Kind kind, const QList<int> &channels)
{
    QString text = kMarker + (kind == DragPayload::Kind::New ? kNew : kOld);
    text += QString::number(channels.size());
    for (int channel : channels)
        text += QString::number(channel);
    return text;
}

std::optional<DragPayload> parseDragPayload(const QString &text, int channelCount)
{
    if (text.size() < 7 || !text.startsWith(kMarker))
        return std::nullopt;

    DragPayload payload;
    const QStringView kind = QStringView(text).mid(3, 3);
    if (kind == kNew)
        payload.kind = DragPayload::Kind::New;
    else if (kind == kOld)
        payload.kind = DragPayload::Kind::Old;
    else
        return std::nullopt;

    const int count = asciiDigit(text.at(6));
    if (count < 0 || count > kMaxChannels || text.size() < 7 + count)
        return std::nullopt;

    const int highest = qMin(channelCount, kMaxChannels);
    for (int k = 0; k < count; ++k) {
        const int channel = asciiDigit(text.at(7 + k));
        if (channel < 1 || channel > highest)
            return std::nullopt;
        payload.channels.append(channel);
    }
    return payload;
}

std::optional<DragPayload> parseDragPayload(const QMimeData *mime, int channelCount)
{
    if (!mime || !mime->hasText())
        return std::nullopt;
    return parseDragPayload(mime->text(), channelCount);
}
