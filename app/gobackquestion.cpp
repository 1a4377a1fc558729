#include "app/gobackquestion.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

bool askToGoBack(QWidget *parent, const QString &text, const QString &detail)
{
    const auto tr
            = [](const char *source) { return QCoreApplication::translate("WayBack", source); };
    QMessageBox question(QMessageBox::Question, tr("Go back to the previous configuration?"), text,
                         QMessageBox::NoButton, parent);
    question.setObjectName(QStringLiteral("GoBackQuestion"));
    question.setInformativeText(detail);
    QPushButton *goBack = question.addButton(tr("&Go back"), QMessageBox::AcceptRole);
    goBack->setObjectName(QStringLiteral("goBackButton"));
    QPushButton *leave = question.addButton(tr("&Leave it"), QMessageBox::RejectRole);
    leave->setObjectName(QStringLiteral("leaveButton"));
    question.setDefaultButton(goBack);
    question.setEscapeButton(leave);
    question.exec();
    return question.clickedButton() == goBack;
}
