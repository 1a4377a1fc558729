#include "resolution.h"
#include "ui_resolution.h"

#include "resources/stylesheet.h"

#include <QComboBox>
#include <QSize>

#include <QTimer>

#include <iterator>

namespace {
struct CommonResolution
{
    int width;
    int height;
};

// Screens an operator meets at a switch: office monitors, television sizes, wide ones.
constexpr CommonResolution kCommon[] = {
        {1024, 768},  {1280, 720},  {1280, 1024}, {1366, 768},  {1440, 900},
        {1600, 900},  {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1080},
        {2560, 1440}, {3440, 1440}, {3840, 2160},
};

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
    for (const CommonResolution &r : kCommon) {
        ui->comboBoxCommon->addItem(QStringLiteral("%1 × %2").arg(r.width).arg(r.height),
                                    QSize(r.width, r.height));
    }
    showCommonEntry();
    connect(ui->comboBoxCommon, &QComboBox::activated, this, &Resolution::fillFromCommonEntry);
    connect(ui->lineEditX, &QLineEdit::textChanged, this, &Resolution::showCommonEntry);
    connect(ui->lineEditY, &QLineEdit::textChanged, this, &Resolution::showCommonEntry);
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

void Resolution::setChannel(int channel)
{
    ui->labelChannel->setText(tr("Channel %1").arg(channel + 1));
}

void Resolution::showCommonEntry()
{
    const QSize typed(xValue(), yValue());
    ui->comboBoxCommon->setCurrentIndex(ui->comboBoxCommon->findData(typed));
}

void Resolution::fillFromCommonEntry(int index)
{
    const QSize size = ui->comboBoxCommon->itemData(index).toSize();
    if (size.isEmpty())
        return;
    ui->lineEditX->setText(QString::number(size.width()));
    ui->lineEditY->setText(QString::number(size.height()));
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

bool Resolution::ask(int channel, int &x, int &y)
{
    Resolution dialog;
    dialog.setChannel(channel);
    dialog.setXValue(x);
    dialog.setYValue(y);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    x = dialog.xValue();
    y = dialog.yValue();
    return true;
}
