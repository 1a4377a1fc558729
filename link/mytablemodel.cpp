#include "mytablemodel.h"

#include "link/portlist.h"

MyTableModel::MyTableModel(PortList &ports, QObject *parent)
    : QAbstractTableModel(parent)
    , m_ports(ports)
{
}

void MyTableModel::refresh()
{
    beginResetModel();
    m_ports.refresh();
    endResetModel();
}

int MyTableModel::rowCount(const QModelIndex &) const
{
    return m_ports.size();
}

int MyTableModel::columnCount(const QModelIndex &) const
{
    return 2;
}

QVariant MyTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_ports.size())
        return {};
    const PortDescription &port = m_ports.at(index.row());
    switch (index.column()) {
    case 0:
        return port.portName;
    case 1: {
        QString description = port.description;
        if (port.commandLine)
            description = tr("Command line");
        else if (description.isEmpty())
            description = QObject::tr("Unknown.");
        return QStringLiteral("%1 (%2)").arg(description, port.portName);
    }
    default:
        return {};
    }
}

QVariant MyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case 0:
        return tr("Port");
    case 1:
        return tr("Device name");
    default:
        return section;
    }
}

Qt::ItemFlags MyTableModel::flags(const QModelIndex &) const
{
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

bool MyTableModel::setData(const QModelIndex &, const QVariant &, int)
{
    return false;
}
