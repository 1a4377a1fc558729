#pragma once

#include <QDialog>

// Sets the pointer speed of the configuration, 1 (slow) to 10 (fast).
class MausSpeed : public QDialog
{
    Q_OBJECT

public:
    explicit MausSpeed(QWidget *parent = nullptr);

    void setSpeed(int value);
    int speed() const;

private:
    int m_speed = 5;
};
