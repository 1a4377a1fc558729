#pragma once

#include <QDialog>

namespace Ui {
class NewConfig;
}

// Asks for the switch model (2, 4 or 8 channels) of a new configuration.
class NewConfig : public QDialog
{
    Q_OBJECT

public:
    explicit NewConfig(QWidget *parent = nullptr);
    ~NewConfig() override;

    // At start-up there is no configuration to go back to: Cancel is hidden and OK
    // takes its place.
    void setStartupMode(bool startup);
    // Preselects the model with n channels; any other n selects none.
    void setChannelCount(quint8 n);
    quint8 channelCount() const { return m_channelCount; }

private slots:
    void on_pushOk_clicked();
    void on_pushCancel_clicked();

private:
    Ui::NewConfig *ui;
    quint8 m_channelCount = 0;
};
