#include "mausspeed.h"
#include "ui_mausspeed.h"

#include "resources/stylesheet.h"

MausSpeed::MausSpeed(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::MausSpeed)
{
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
}

MausSpeed::~MausSpeed()
{
    delete ui;
}

void MausSpeed::setSpeed(int value)
{
    ui->horizontalSlider->setValue(value);
}

int MausSpeed::speed() const
{
    return ui->horizontalSlider->value();
}

void MausSpeed::on_pushSet_clicked()
{
    accept();
}

void MausSpeed::on_pushCancel_clicked()
{
    reject();
}
