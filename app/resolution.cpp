#include "resolution.h"
#include "ui_resolution.h"

#include "resources/stylesheet.h"

#include <QTimer>

namespace {
// The input mask lets through at most four digits; anything else reads as "not set".
int fieldValue(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}
} // namespace

Resolution::Resolution(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Resolution)
{
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
}

Resolution::~Resolution()
{
    delete ui;
}

void Resolution::setXValue(int value)
{
    ui->lineEditX->setText(QString::number(value));
    ui->lineEditX->setFocus();
    ui->lineEditX->selectAll();
    // Showing the dialog hands the focus widget a tab-reason focus-in, on which a line
    // edit with an input mask moves its cursor to the first blank and drops the
    // selection; select again once the dialog's event loop runs.
    QTimer::singleShot(0, ui->lineEditX, &QLineEdit::selectAll);
}

void Resolution::setYValue(int value)
{
    ui->lineEditY->setText(QString::number(value));
}

int Resolution::xValue() const
{
    return fieldValue(ui->lineEditX->text());
}

int Resolution::yValue() const
{
    return fieldValue(ui->lineEditY->text());
}

void Resolution::on_pushSet_clicked()
{
    accept();
}

void Resolution::on_pushCancel_clicked()
{
    reject();
}

bool Resolution::ask(int &x, int &y)
{
    Resolution dialog;
    dialog.setXValue(x);
    dialog.setYValue(y);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    x = dialog.xValue();
    y = dialog.yValue();
    return true;
}
