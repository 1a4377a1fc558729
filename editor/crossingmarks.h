#pragma once

#include "document/crossings.h"

#include <QWidget>

#include <optional>

class DocumentChanges;
struct EditorState;

// Drawn above the tiles of the canvas: a green bar along every seam where the pointer
// passes from one screen to the next. While a drag is under way it shows the crossings
// the layout would have after the drop. It lets every mouse and drag event through.
class CrossingMarks : public QWidget
{
public:
    explicit CrossingMarks(QWidget *canvas);

    void setContext(const DocumentChanges *changes, const EditorState *state);
    // The layout a drag would leave behind; nothing to show the configuration itself.
    void setPreview(const std::optional<Configuration> &layout);
    // What is drawn: the crossings of the preview or of the configuration.
    QList<Crossing> crossings() const;
    // Where the mark of a crossing is drawn, in canvas pixels.
    QRect markRect(const Crossing &crossing) const;

    static QColor colour();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const DocumentChanges *m_changes = nullptr;
    const EditorState *m_state = nullptr;
    std::optional<Configuration> m_preview;
};
