#pragma once

#include <QDialog>

// The program's name, version and maker.
class About : public QDialog
{
    Q_OBJECT

public:
    explicit About(QWidget *parent = nullptr);

    void setVersion(const QString &version);
};
