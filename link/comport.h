#pragma once

#include "link/portdescription.h"

#include <QDialog>

class MyTableModel;
class PortFinder;
class PortWatch;
class QLabel;
class ProbeColumnModel;

namespace Ui {
class comPort;
}

// The port dialog: lists the serial ports, offers the bitrate for switches that have
// a choice and hands back the chosen port and bitrate. "Find switch" probes every
// listed port at once and shows what answered in a column of its own. While the
// dialog is shown it watches for ports that appear or vanish and probes each new one;
// a switch found so is told under the table, and the selection stays where it was.
class comPort : public QDialog
{
    Q_OBJECT

public:
    explicit comPort(MyTableModel &model, QWidget *parent = nullptr);
    ~comPort() override;

    // Makes the port the chosen one, reads the port list anew and selects the row of
    // that port (row 0 when it is gone).
    void selectPort(const PortDescription &port);
    void setBitrateVisible(bool visible);
    void setBitrate(int bitrate);
    int chosenBitrate() const;
    // The dialog's title and the OK button's tool tip.
    void setActionText(const QString &text);
    PortDescription chosenPort() const { return m_chosenPort; }

    // Ends the search for a switch before the dialog closes, so no probe holds the port
    // the connection is about to open.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void on_pushButtonOk_clicked();
    void on_pushButtonCancel_clicked();
    void on_pushButtonRefresh_clicked();

private:
    // -1 when no row is selected.
    int selectedRow() const;
    void findSwitch();
    // Probes the ports of the list rows with these names.
    void probe(const QStringList &portNames, bool restart);
    void showFinding(int index);
    void findingFinished();
    // A line under the table: a switch answers on a port the watch found.
    void showFoundNote(const QString &portName, int channels);
    void setSearching(bool searching);
    // Reads the list anew after the watch saw it change; the selected port stays
    // selected, and the focus where it is.
    void portsChanged(const QStringList &appeared);
    void selectRowOf(const QString &portName);
    // Columns as wide as their content; the port column gives way when all cannot fit.
    void fitColumns();

    Ui::comPort *ui;
    MyTableModel &m_model;
    PortDescription m_chosenPort;
    ProbeColumnModel *const m_table;
    PortFinder *const m_finder;
    PortWatch *const m_watch;
    QLabel *const m_foundNote;
    // The port names of the finder's probes, by index.
    QStringList m_probed;
    // Find switch was pressed: its end selects the first switch found.
    bool m_searchAll = false;
    bool m_bitrateChoice = true;
};
