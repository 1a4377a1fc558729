#pragma once

#include <QAbstractTableModel>

class PortList;

// Read-only table of the port list for the port dialog: port name and
// "description (name)". Owns no data; the port list lives as long as the model.
class MyTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit MyTableModel(PortList &ports, QObject *parent = nullptr);

    PortList &portList() { return m_ports; }
    // Reads the port list anew, announcing a reset around the change.
    void refresh();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    PortList &m_ports;
};
