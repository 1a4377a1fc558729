#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>

struct Configuration;
struct EditorState;

// The translucent white box with a black border that shows a resize in progress; a red
// border marks a place where the tiles would not be accepted.
QPixmap outlineImage(int width, int height, const QColor &border = Qt::black);

// One tile of a drag image: the outline box with the channel digit in its upper left
// quarter.
QPixmap dragImagePiece(int width, int height, const QString &digit);

// The drag image of channels taken from the list: a row of 2 x 2 cell tiles.
QPixmap newDragImage(const EditorState &state, const QStringList &digits);

// The drag image of the selected tiles, each at its place within their bounding box.
QPixmap oldDragImage(const EditorState &state, const Configuration &config);
