#include "newconfig.h"
#include "ui_newconfig.h"

NewConfig::NewConfig(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::NewConfig)
{
    ui->setupUi(this);
}

NewConfig::~NewConfig()
{
    delete ui;
}

void NewConfig::setStartupMode(bool startup)
{
    if (!startup)
        return;
    ui->pushCancel->hide();
    ui->pushOk->move(ui->pushCancel->pos());
}

void NewConfig::setChannelCount(quint8 n)
{
    m_channelCount = n;
    // An exclusive group refuses to uncheck its checked button; lift it for the reset.
    ui->modelGroup->setExclusive(false);
    ui->radioVX2->setChecked(n == 2);
    ui->radioVX4->setChecked(n == 4);
    ui->radioVX8->setChecked(n == 8);
    ui->modelGroup->setExclusive(true);
}

void NewConfig::on_pushOk_clicked()
{
    if (ui->radioVX2->isChecked())
        m_channelCount = 2;
    else if (ui->radioVX4->isChecked())
        m_channelCount = 4;
    else if (ui->radioVX8->isChecked())
        m_channelCount = 8;
    accept();
}

void NewConfig::on_pushCancel_clicked()
{
    reject();
}
