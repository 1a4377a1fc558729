#include "dropwidget.h"

DropWidget::DropWidget(QWidget *parent)
    : QWidget(parent)
{}
