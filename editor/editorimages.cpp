#include "editorimages.h"

#include "document/configuration.h"
#include "editor/editorstate.h"

#include <QFont>
#include <QPainter>

namespace {

const int kAlpha = 150;

// White copied into a transparent pixmap, with a one-pixel black border.
QPixmap borderedBox(int width, int height, const QColor &border = Qt::black)
{
    QPixmap box(width, height);
    box.fill(Qt::transparent);
    QPixmap white(width, height);
    white.fill(Qt::white);
    QPainter painter(&box);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), QPoint(width - 2, height - 2)));
    return box;
}

void scaleAlpha(QPixmap &pixmap)
{
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.fillRect(pixmap.rect(), QColor(0, 0, 0, kAlpha));
}

} // namespace

QPixmap outlineImage(int width, int height, const QColor &border)
{
    if (width <= 0 || height <= 0)
        return {};
    QPixmap image = borderedBox(width, height, border);
    scaleAlpha(image);
    return image;
}

QPixmap dragImagePiece(int width, int height, const QString &digit)
{
    if (width <= 0 || height <= 0)
        return {};
    QPixmap piece = borderedBox(width, height);
    {
        QPainter painter(&piece);
        painter.setPen(Qt::black);
        painter.setFont(QFont(QStringLiteral("Arial"), 10));
        painter.drawText(QRect(0, 0, width / 2, height / 2), Qt::AlignCenter, digit);
    }
    scaleAlpha(piece);
    return piece;
}

QPixmap newDragImage(const EditorState &state, const QStringList &digits)
{
    const int pieceWidth = 2 * state.cellWidth;
    const int pieceHeight = 2 * state.cellHeight;
    if (digits.isEmpty())
        return {};
    QPixmap image(pieceWidth * int(digits.size()), pieceHeight);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int k = 0; k < digits.size(); ++k)
        painter.drawPixmap(pieceWidth * k, 0,
                           dragImagePiece(pieceWidth, pieceHeight, digits.at(k)));
    return image;
}

QPixmap oldDragImage(const EditorState &state, const Configuration &config)
{
    const int minLeftCell = selectedMinLeft(state, config);
    const int minTopCell = selectedMinTop(state, config);
    const int width = (selectedMaxRight(state, config) - minLeftCell) * state.cellWidth;
    const int height = (selectedMaxBottom(state, config) - minTopCell) * state.cellHeight;
    if (width <= 0 || height <= 0)
        return {};
    QPixmap image(width, height);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int k = 0; k < state.selectedChannels.size(); ++k) {
        const int s = state.selectedChannels.at(k);
        const ChannelEntry &e = config.channels[s];
        const QPixmap piece
                = dragImagePiece((e.right - e.left) * state.cellWidth,
                                 (e.bottom - e.top) * state.cellHeight, QString::number(s + 1));
        if (!piece.isNull())
            painter.drawPixmap((e.left - minLeftCell) * state.cellWidth,
                               (e.top - minTopCell) * state.cellHeight, piece);
    }
    return image;
}
