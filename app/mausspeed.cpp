#include "mausspeed.h"

MausSpeed::MausSpeed(QWidget *parent)
    : QDialog(parent)
{}

void MausSpeed::setSpeed(int value)
{
    m_speed = value;
}

int MausSpeed::speed() const
{
    return m_speed;
}
