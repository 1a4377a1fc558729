#pragma once

#include <QListView>

// The list of unplaced channels.
class myListView : public QListView
{
    Q_OBJECT

public:
    explicit myListView(QWidget *parent = nullptr);

signals:
    void gotFocus();
    void addCannelsToConfig(QList<int> indexList);
};
