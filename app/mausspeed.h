#pragma once

#include <QDialog>

namespace Ui {
class MausSpeed;
}

// Asks for the pointer speed of the configuration, 1 (slow) to 10 (fast).
class MausSpeed : public QDialog
{
    Q_OBJECT

public:
    explicit MausSpeed(QWidget *parent = nullptr);
    ~MausSpeed() override;

    // Values outside 1..10 show at the nearer end of the slider.
    void setSpeed(int value);
    int speed() const;

private slots:
    void on_pushSet_clicked();
    void on_pushCancel_clicked();

private:
    Ui::MausSpeed *ui;
};
