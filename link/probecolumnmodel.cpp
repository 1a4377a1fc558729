#include "link/probecolumnmodel.h"

#include "link/portlist.h"

ProbeColumnModel::ProbeColumnModel(const PortList &ports, QObject *parent)
    : QIdentityProxyModel(parent)
    , m_ports(ports)
{
}

int ProbeColumnModel::findingColumn() const
{
    return sourceModel() ? sourceModel()->columnCount() : 0;
}

void ProbeColumnModel::setSearching(const QString &portName, bool searching)
{
    if (searching)
        m_searching.insert(portName);
    else
        m_searching.remove(portName);
    findingChanged(portName);
}

void ProbeColumnModel::findingChanged(const QString &portName)
{
    for (int row = 0; row < rowCount(); ++row) {
        if (portNameAt(row) != portName)
            continue;
        const QModelIndex cell = index(row, findingColumn());
        emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
    }
}

QString ProbeColumnModel::portNameAt(int row) const
{
    return sourceModel() ? sourceModel()->index(row, 0).data().toString() : QString();
}

QVariant ProbeColumnModel::finding(int row, int role) const
{
    const QString port = portNameAt(row);
    const ProbeResult *r = m_ports.finding(port);
    // An empty cell still needs a name for a screen reader.
    if (role == Qt::AccessibleTextRole && !r && !m_searching.contains(port))
        return tr("Not asked yet");
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (m_searching.contains(port))
        return role == Qt::DisplayRole ? tr("Searching…") : QVariant();
    if (!r)
        return {};
    switch (r->outcome) {
    case ProbeResult::Outcome::Found:
        if (role == Qt::DisplayRole)
            return QStringLiteral("Vorrix %1").arg(r->channels);
        return tr("Vorrix %1 at %2 bit/s").arg(r->channels).arg(r->bitrate);
    case ProbeResult::Outcome::NoAnswer:
        return role == Qt::DisplayRole ? tr("No answer") : tr("No switch answered.");
    case ProbeResult::Outcome::PortFailed:
        // The port could not be asked; the reason says why.
        return role == Qt::DisplayRole ? tr("No answer") : r->reason;
    }
    return {};
}

int ProbeColumnModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : findingColumn() + 1;
}

QModelIndex ProbeColumnModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!parent.isValid() && column == findingColumn() && row >= 0 && row < rowCount())
        return createIndex(row, column);
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex ProbeColumnModel::sibling(int row, int column, const QModelIndex &idx) const
{
    return idx.isValid() ? index(row, column, idx.parent()) : QModelIndex();
}

QModelIndex ProbeColumnModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (proxyIndex.isValid() && proxyIndex.column() == findingColumn())
        return {};
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

QVariant ProbeColumnModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.column() == findingColumn())
        return finding(index.row(), role);
    if (role == Qt::ToolTipRole)
        return QIdentityProxyModel::data(index, Qt::DisplayRole);
    return QIdentityProxyModel::data(index, role);
}

QVariant ProbeColumnModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == findingColumn())
        return role == Qt::DisplayRole ? QVariant(tr("Switch")) : QVariant();
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags ProbeColumnModel::flags(const QModelIndex &index) const
{
    if (index.isValid() && index.column() == findingColumn())
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return QIdentityProxyModel::flags(index);
}
