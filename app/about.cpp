#include "about.h"
#include "ui_about.h"

#include "resources/stylesheet.h"

#include <QIcon>

About::About(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::About)
{
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    // A pixmap from the form is the 1x image only; an icon also takes the banner's @2x
    // variant and gives a sharp banner on a scaled screen.
    const QSize bannerSize = ui->label_3->pixmap().size();
    ui->label_3->setPixmap(QIcon(QStringLiteral(":/images/Z&Q_Redaz_logo_RGB_klein.jpg"))
                                   .pixmap(bannerSize, devicePixelRatioF()));
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
