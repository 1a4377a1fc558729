#pragma once

#include <QDialog>

namespace Ui {
class About;
}

// Shows the program's name, version and maker.
class About : public QDialog
{
    Q_OBJECT

public:
    explicit About(QWidget *parent = nullptr);
    ~About() override;

    // Shows "Version " followed by the given text.
    void setVersion(const QString &version);

private slots:
    void on_pushButtonOk_clicked();

private:
    Ui::About *ui;
};
