#include "about.h"

About::About(QWidget *parent)
    : QDialog(parent)
{}

void About::setVersion(const QString &) {}
