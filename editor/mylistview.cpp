#include "mylistview.h"

myListView::myListView(QWidget *parent)
    : QListView(parent)
{}
