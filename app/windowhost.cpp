#include "app/windowhost.h"
#include "ui_corvanecfg.h"

#include "editor/rasterwidget.h"

CorvaneCfg::Host::Host(CorvaneCfg &window)
    : w(window)
{
}

QWidget *CorvaneCfg::Host::hostWindow()
{
    return &w;
}

int CorvaneCfg::Host::showMessage(const QString &text, QMessageBox::StandardButtons buttons,
                                  QMessageBox::StandardButton defaultButton)
{
    QMessageBox &box = w.messageBox;
    box.setText(text);
    box.setStandardButtons(buttons);
    box.setDefaultButton(defaultButton);
    const int answer = box.exec();
    box.setInformativeText(QString());
    // Every other message of the program has a single OK.
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    return answer;
}

void CorvaneCfg::Host::setMessageDetail(const QString &detail)
{
    w.messageBox.setInformativeText(detail);
}

void CorvaneCfg::Host::setBusy(bool busy)
{
    w.setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

void CorvaneCfg::Host::setSaveEnabled(bool enabled)
{
    w.ui->action_Save->setEnabled(enabled);
}

void CorvaneCfg::Host::setTransmitEnabled(bool enabled)
{
    w.ui->actionTransmit->setEnabled(enabled);
}

CommandHost::PrintArea CorvaneCfg::Host::preparePrintArea()
{
    w.ui->rasterwidget->childLostFocus();
    return {w.m_editorState.cellWidth, w.m_editorState.cellHeight, w.ui->scrollArea->size()};
}
