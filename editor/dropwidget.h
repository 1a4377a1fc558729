#pragma once

#include <QWidget>

struct Document;

// The left pane: tiles dragged onto it leave the layout.
class DropWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DropWidget(QWidget *parent = nullptr);

    // Channel numbers in a payload are checked against the document's channel count.
    void setDocument(const Document *document) { m_document = document; }

signals:
    void delChannelsFromConfig(QList<int> indexList);

public slots:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int channelLimit() const;

    const Document *m_document = nullptr;
};
