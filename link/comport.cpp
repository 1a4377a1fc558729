#include "comport.h"
#include "ui_comport.h"

#include "link/mytablemodel.h"
#include "link/portfinder.h"
#include "link/portlist.h"
#include "link/portwatch.h"
#include "link/probecolumnmodel.h"
#include "resources/stylesheet.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>

#include <algorithm>
#include <utility>

namespace {

constexpr int kPortColumn = 0;
constexpr int kDescriptionColumn = 1;
constexpr int kHighBitrate = 115200;
constexpr int kNoteHeight = 16;

QString portToOpen(const PortDescription &port)
{
    return port.systemLocation.isEmpty() ? port.portName : port.systemLocation;
}

} // namespace

comPort::comPort(MyTableModel &model, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::comPort)
    , m_model(model)
    , m_table(new ProbeColumnModel(model.portList(), this))
    , m_finder(new PortFinder(this))
    , m_watch(new PortWatch(model.portList(), this))
    , m_foundNote(new QLabel(this))
{
    // No view shows the model yet, so the list is read anew without announcing a reset.
    m_model.portList().refresh();
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    m_table->setSourceModel(&m_model);
    ui->tableView->setModel(m_table);
    ui->tableView->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
    // Ports differ at the end of their names (/dev/ttyUSB0, /dev/ttyUSB1) as often as at
    // the start; the middle is what may go.
    ui->tableView->setTextElideMode(Qt::ElideMiddle);
    ui->tableView->setFocus();
    ui->comboBoxBitRate->addItem(QStringLiteral("9600"));
    ui->comboBoxBitRate->addItem(QStringLiteral("115200"));
    m_foundNote->setObjectName(QStringLiteral("labelFound"));
    m_foundNote->hide();
    connect(ui->pushButtonFind, &QPushButton::clicked, this, &comPort::findSwitch);
    connect(m_finder, &PortFinder::portDone, this, &comPort::showFinding);
    connect(m_finder, &PortFinder::finished, this, &comPort::findingFinished);
    connect(m_watch, &PortWatch::portsChanged, this, &comPort::portsChanged);
    fitColumns();
}

comPort::~comPort()
{
    delete ui;
}

void comPort::selectPort(const PortDescription &port)
{
    // The port may be an entry of the list that is read anew below.
    m_chosenPort = port;
    m_model.refresh();

    const PortList &ports = m_model.portList();
    int row = -1;
    // With single selection the last matching row stays selected.
    for (int i = 0; i < ports.size(); ++i) {
        if (!m_chosenPort.isNull() && ports.at(i).portName == m_chosenPort.portName)
            row = i;
    }
    if (row < 0 && ports.size() > 0)
        row = 0;
    if (row >= 0)
        ui->tableView->selectRow(row);
    ui->tableView->setFocus();
    fitColumns();
}

void comPort::setBitrateVisible(bool visible)
{
    ui->comboBoxBitRate->setVisible(visible);
    ui->labelBitrate->setVisible(visible);
    m_bitrateChoice = visible;
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

void comPort::done(int result)
{
    m_watch->stop();
    m_finder->stop();
    setSearching(false);
    QDialog::done(result);
}

void comPort::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Only now does the view know its fonts and whether it needs a scroll bar.
    fitColumns();
    m_watch->start();
}

void comPort::hideEvent(QHideEvent *event)
{
    m_watch->stop();
    QDialog::hideEvent(event);
}

void comPort::findSwitch()
{
    QStringList names;
    const PortList &list = m_model.portList();
    for (int row = 0; row < list.size(); ++row)
        names << list.at(row).portName;
    m_searchAll = true;
    probe(names, true);
}

void comPort::probe(const QStringList &portNames, bool restart)
{
    if (restart) {
        m_finder->stop();
        for (const QString &name : std::as_const(m_probed))
            m_table->setSearching(name, false);
        m_probed.clear();
    }
    QStringList ports;
    const PortList &list = m_model.portList();
    for (const QString &name : portNames) {
        for (int row = 0; row < list.size(); ++row) {
            if (list.at(row).portName != name)
                continue;
            ports << portToOpen(list.at(row));
            m_probed << name;
            m_table->setSearching(name, true);
            break;
        }
    }
    setSearching(true);
    // Without the bitrate choice the connection uses the high rate, so only a switch
    // that answers there can be used.
    const QList<int> bitrates = m_bitrateChoice ? probeBitrates() : probeBitrates(kHighBitrate);
    if (restart)
        m_finder->start(ports, bitrates);
    else
        m_finder->add(ports, bitrates);
}

void comPort::showFinding(int index)
{
    const QString &name = m_probed.at(index);
    m_model.portList().setFinding(name, m_finder->result(index));
    m_table->setSearching(name, false);
}

void comPort::findingFinished()
{
    setSearching(false);
    const PortList &list = m_model.portList();
    const auto switchAt = [&list](int row) {
        const ProbeResult *r = row < 0 ? nullptr : list.finding(list.at(row).portName);
        return r && r->outcome == ProbeResult::Outcome::Found ? r : nullptr;
    };
    // Find switch picks the first switch it found. A switch the watch found on a port
    // just plugged in never moves the selection: an OK pressed at that moment would
    // send to another switch than the one chosen. It is told under the table instead.
    const bool all = std::exchange(m_searchAll, false);
    for (int row = 0; row < list.size(); ++row) {
        const ProbeResult *r = switchAt(row);
        if (!r || !m_probed.contains(list.at(row).portName))
            continue;
        if (!all) {
            showFoundNote(list.at(row).portName, r->channels);
            continue;
        }
        ui->tableView->selectRow(row);
        if (m_bitrateChoice)
            setBitrate(r->bitrate);
        break;
    }
    fitColumns();
    // The Find button lost the focus when it was disabled.
    if (all)
        ui->tableView->setFocus();
}

void comPort::showFoundNote(const QString &portName, int channels)
{
    if (m_foundNote->isHidden()) {
        // The table gives up one line at its foot while there is something to tell.
        QRect table = ui->tableView->geometry();
        table.setHeight(table.height() - kNoteHeight - 2);
        ui->tableView->setGeometry(table);
        m_foundNote->setGeometry(table.left(), table.bottom() + 3, table.width(), kNoteHeight);
        m_foundNote->show();
    }
    m_foundNote->setText(tr("A switch answers on %1 (Vorrix %2); select its row to use it.")
                                 .arg(portName)
                                 .arg(channels));
    m_foundNote->setAccessibleName(m_foundNote->text());
}

void comPort::portsChanged(const QStringList &appeared)
{
    const int row = selectedRow();
    const QString selected = row >= 0 ? m_model.portList().at(row).portName : m_chosenPort.portName;
    m_model.refresh();
    selectRowOf(selected);
    fitColumns();
    if (!appeared.isEmpty())
        probe(appeared, !m_finder->isRunning());
}

void comPort::selectRowOf(const QString &portName)
{
    const PortList &ports = m_model.portList();
    int row = ports.size() > 0 ? 0 : -1;
    for (int i = 0; i < ports.size(); ++i) {
        if (ports.at(i).portName == portName)
            row = i;
    }
    if (row >= 0)
        ui->tableView->selectRow(row);
}

void comPort::setSearching(bool searching)
{
    ui->pushButtonFind->setEnabled(!searching);
    ui->progressBarFind->setVisible(searching);
}

void comPort::fitColumns()
{
    QTableView *view = ui->tableView;
    // The last column stretches over what the others leave, but never below the
    // default section size; sized to its content, it would stop stretching.
    view->resizeColumnToContents(kPortColumn);
    view->resizeColumnToContents(kDescriptionColumn);
    QHeaderView *header = view->horizontalHeader();
    const int findingColumn = m_table->findingColumn();
    const QAbstractItemView *cells = view; // where the size hint is public
    const int findingWidth
            = std::max({cells->sizeHintForColumn(findingColumn),
                        header->sectionSizeHint(findingColumn), header->defaultSectionSize()});
    const int share = view->viewport()->width() - findingWidth;
    const int port = header->sectionSize(kPortColumn);
    const int description = header->sectionSize(kDescriptionColumn);
    if (port + description <= share)
        return;
    // The port column keeps at least half of what is left, the description the rest;
    // both elide in the middle and show their whole text as tool tip.
    const int portWidth = qMin(port, qMax(share - description, share / 2));
    header->resizeSection(kPortColumn, portWidth);
    header->resizeSection(kDescriptionColumn, qMax(share - portWidth, 0));
}
