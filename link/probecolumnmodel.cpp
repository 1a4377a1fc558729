#include "link/probecolumnmodel.h"

ProbeColumnModel::ProbeColumnModel(QObject *parent)
    : QIdentityProxyModel(parent)
{
}

void ProbeColumnModel::setSourceModel(QAbstractItemModel *source)
{
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QIdentityProxyModel::setSourceModel(source);
    // Before the reset ends, so the view never asks for a finding of a row that moved.
    if (source)
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this,
                [this] { m_findings.clear(); });
}

int ProbeColumnModel::findingColumn() const
{
    return sourceModel() ? sourceModel()->columnCount() : 0;
}

void ProbeColumnModel::setFinding(int row, const QString &text, const QString &toolTip)
{
    if (row < 0 || row >= rowCount())
        return;
    if (m_findings.size() <= row)
        m_findings.resize(row + 1);
    m_findings[row] = {text, toolTip};
    const QModelIndex cell = index(row, findingColumn());
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
}

void ProbeColumnModel::clearFindings()
{
    if (m_findings.isEmpty())
        return;
    m_findings.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, findingColumn()), index(rowCount() - 1, findingColumn()),
                         {Qt::DisplayRole, Qt::ToolTipRole});
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
    if (index.column() == findingColumn()) {
        if (index.row() >= m_findings.size())
            return {};
        const Finding &f = m_findings.at(index.row());
        if (role == Qt::DisplayRole)
            return f.text;
        if (role == Qt::ToolTipRole && !f.toolTip.isEmpty())
            return f.toolTip;
        return {};
    }
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
