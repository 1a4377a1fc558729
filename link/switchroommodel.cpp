#include "link/switchroommodel.h"

#include "link/switchroom.h"

SwitchRoomModel::SwitchRoomModel(SwitchRoom &room, QObject *parent)
    : QAbstractTableModel(parent)
    , m_room(room)
{
    connect(&m_room, &SwitchRoom::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&m_room, &SwitchRoom::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); });
}

int SwitchRoomModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_room.size();
}

int SwitchRoomModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SwitchRoomModel::text(int row, int column) const
{
    const SwitchRoom::Row &r = m_room.row(row);
    switch (column) {
    case Port:
        return r.name;
    case Description:
        return r.commandLine ? tr("Command line") : r.description;
    case Switch:
        return m_room.switchText(row);
    case LastExchange:
        return m_room.lastExchangeText(row);
    case State:
        return m_room.stateText(row);
    default:
        return QString();
    }
}

QVariant SwitchRoomModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_room.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(index.row(), index.column());
    case Qt::AccessibleTextRole: {
        // An empty cell is named too, so that a screen reader says it is empty.
        const QString cell = text(index.row(), index.column());
        return cell.isEmpty() ? tr("None") : cell;
    }
    default:
        return {};
    }
}

QVariant SwitchRoomModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Port:
        return tr("Port");
    case Description:
        return tr("Description");
    case Switch:
        return tr("Switch");
    case LastExchange:
        return tr("Last exchange");
    case State:
        return tr("State");
    default:
        return {};
    }
}

void SwitchRoomModel::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}
