#pragma once

#include "app/corvanecfg.h"
#include "document/commandhost.h"

// The window's side of the document commands and the device sequence: they reach the
// message box, the cursor and the actions through this and nothing else.
class CorvaneCfg::Host : public CommandHost
{
public:
    explicit Host(CorvaneCfg &window);

    QWidget *hostWindow() override;
    int showMessage(const QString &text, QMessageBox::StandardButtons buttons,
                    QMessageBox::StandardButton defaultButton) override;
    void setMessageDetail(const QString &detail) override;
    void setBusy(bool busy) override;
    void setSaveEnabled(bool enabled) override;
    void setTransmitEnabled(bool enabled) override;
    PrintArea preparePrintArea() override;

private:
    CorvaneCfg &w;
};
