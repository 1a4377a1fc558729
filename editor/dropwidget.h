#pragma once

#include <QWidget>

// The left pane: tiles dragged onto it leave the layout.
class DropWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DropWidget(QWidget *parent = nullptr);

signals:
    void delChannelsFromConfig(QList<int> indexList);
};
