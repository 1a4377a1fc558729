#include "about.h"
#include "ui_about.h"

#include "resources/stylesheet.h"

About::About(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::About)
{
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
}

About::~About()
{
    delete ui;
}

void About::setVersion(const QString &version)
{
    // "Version" reads the same in both languages; the line is not translated.
    ui->label_version->setText(QStringLiteral("Version ") + version);
}

void About::on_pushButtonOk_clicked()
{
    close();
}
