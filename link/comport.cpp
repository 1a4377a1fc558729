#include "comport.h"
#include "ui_comport.h"

#include "link/mytablemodel.h"
#include "link/portlist.h"
#include "resources/stylesheet.h"

#include <QHeaderView>
#include <QItemSelectionModel>

comPort::comPort(MyTableModel &model, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::comPort)
    , m_model(model)
{
    // No view shows the model yet, so the list is read anew without announcing a reset.
    m_model.portList().refresh();
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    ui->tableView->setModel(&m_model);
    ui->tableView->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
    ui->tableView->setFocus();
    ui->comboBoxBitRate->addItem(QStringLiteral("9600"));
    ui->comboBoxBitRate->addItem(QStringLiteral("115200"));
}

comPort::~comPort()
{
    delete ui;
}

void comPort::selectPort(const PortDescription &port)
{
    m_chosenPort = port;
    m_model.refresh();

    const PortList &ports = m_model.portList();
    int row = -1;
    // With single selection the last matching row stays selected.
    for (int i = 0; i < ports.size(); ++i) {
        if (!port.isNull() && ports.at(i).portName == port.portName)
            row = i;
    }
    if (row < 0 && ports.size() > 0)
        row = 0;
    if (row >= 0)
        ui->tableView->selectRow(row);
    ui->tableView->setFocus();
}

void comPort::setBitrateVisible(bool visible)
{
    ui->comboBoxBitRate->setVisible(visible);
    ui->labelBitrate->setVisible(visible);
}

void comPort::setBitrate(int bitrate)
{
    const int index = ui->comboBoxBitRate->findText(QString::number(bitrate));
    if (index >= 0)
        ui->comboBoxBitRate->setCurrentIndex(index);
}

int comPort::chosenBitrate() const
{
    return ui->comboBoxBitRate->currentText().toInt();
}

void comPort::setActionText(const QString &text)
{
    ui->pushButtonOk->setToolTip(text);
    setWindowTitle(text);
}

int comPort::selectedRow() const
{
    const QItemSelectionModel *selection = ui->tableView->selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    if (rows.isEmpty())
        return -1;
    const int row = rows.first().row();
    return row < m_model.portList().size() ? row : -1;
}

void comPort::on_pushButtonOk_clicked()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_chosenPort = m_model.portList().at(row);
    accept();
}

void comPort::on_pushButtonCancel_clicked()
{
    reject();
}

void comPort::on_pushButtonRefresh_clicked()
{
    const int row = selectedRow();
    if (row >= 0)
        m_chosenPort = m_model.portList().at(row);
    selectPort(m_chosenPort);
}
