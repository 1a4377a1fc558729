#pragma once

#include <QDialog>

namespace Ui {
class Resolution;
}

// Asks for the width and height of one channel's screen, in pixels (0 = not set).
class Resolution : public QDialog
{
    Q_OBJECT

public:
    explicit Resolution(QWidget *parent = nullptr);
    ~Resolution() override;

    // Runs the dialog on the given values; true, with the typed values, when accepted.
    static bool ask(int &x, int &y);

    // Shows the width with its text selected and focused, so that typing replaces it.
    void setXValue(int value);
    void setYValue(int value);
    // The typed digits as a number; an empty field gives 0.
    int xValue() const;
    int yValue() const;

private slots:
    void on_pushSet_clicked();
    void on_pushCancel_clicked();

private:
    Ui::Resolution *ui;
};
