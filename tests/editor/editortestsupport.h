#pragma once

#include "app/resolution.h"
#include "document/document.h"
#include "editor/editorstate.h"
#include "editor/listmodel.h"
#include "editor/rasterwidget.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

#include <initializer_list>
#include <utility>

// A canvas with the state it edits, owned by the test: a fresh editor per test.
struct EditorFixture
{
    Document document;
    DocumentChanges changes{document};
    EditorState state;
    ListModel listModel{&document};
    RasterWidget canvas;

    explicit EditorFixture(int channelCount = 4, QSize size = QSize(1000, 500))
    {
        document.currentConfig.channelCount = quint8(channelCount);
        canvas.setContext(&changes, &state, &listModel);
        canvas.setResolutionPrompt(&Resolution::ask);
        canvas.resize(size);
        paint();
    }

    // Lays out the raster as a paint does.
    void paint() { canvas.grab(); }

    Configuration &config() { return document.currentConfig; }
};

inline ChannelEntry placedAt(int left, int top, int right, int bottom)
{
    return ChannelEntry{1, quint8(left), quint8(top), quint8(right), quint8(bottom), 0, 0};
}

// A layout of placed channels given as channel index and raster rectangle.
inline Configuration layout(int channelCount, std::initializer_list<std::pair<int, QRect>> placed)
{
    Configuration c;
    c.channelCount = quint8(channelCount);
    for (const auto &[index, r] : placed)
        c.channels[index] = placedAt(r.left(), r.top(), r.right(), r.bottom());
    return c;
}

// left, top, right, bottom as a QRect's two corners.
inline QRect cells(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

inline bool sendDragEnter(QWidget *target, const QString &text, QPoint pos)
{
    QMimeData mime;
    mime.setText(text);
    QDragEnterEvent event(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

inline bool sendDragMove(QWidget *target, const QString &text, QPoint pos)
{
    QMimeData mime;
    mime.setText(text);
    QDragMoveEvent event(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

// Drops reach only the widget that accepted the drag's last enter; a well-formed enter
// goes first, so that the drop handler itself judges the text.
inline bool sendDrop(QWidget *target, const QString &text, QPoint pos)
{
    sendDragEnter(target, QStringLiteral("OVSnew0"), pos);
    QMimeData mime;
    mime.setText(text);
    QDropEvent event(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}
