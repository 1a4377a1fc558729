#pragma once

#include <QDialog>

namespace Ui {
class Resolution;
}

// Asks for the width and height of one channel's screen, in pixels (0 = not set). It
// names the channel, and a list of common resolutions fills both fields at once.
class Resolution : public QDialog
{
    Q_OBJECT

public:
    explicit Resolution(QWidget *parent = nullptr);
    ~Resolution() override;

    // Runs the dialog for the channel (index 0..7) on the given values; true, with the
    // typed values, when accepted.
    static bool ask(int channel, int &x, int &y);

    // Shows which channel's screen the values belong to.
    void setChannel(int channel);

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
    // The list shows the entry the two fields hold, or none.
    void showCommonEntry();
    void fillFromCommonEntry(int index);

    Ui::Resolution *ui;
};
