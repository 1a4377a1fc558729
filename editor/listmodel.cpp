#include "listmodel.h"

#include "document/document.h"
#include "editor/rastergeometry.h"

ListModel::ListModel(Document *document, QObject *parent)
    : QAbstractListModel(parent)
    , m_document(document)
{
}

int ListModel::channelAt(int row) const
{
    if (!m_document || row < 0)
        return -1;
    const Configuration &config = m_document->currentConfig;
    const int count = qMin<int>(config.channelCount, kMaxChannels);
    for (int i = 0; i < count; ++i) {
        if (!standsOnCanvas(config.channels[i]) && row-- == 0)
            return i;
    }
    return -1;
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_document)
        return 0;
    const Configuration &config = m_document->currentConfig;
    const int count = qMin<int>(config.channelCount, kMaxChannels);
    int rows = 0;
    for (int i = 0; i < count; ++i) {
        if (!standsOnCanvas(config.channels[i]))
            ++rows;
    }
    return rows;
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != 0)
        return {};
    const int channel = channelAt(index.row());
    if (channel < 0)
        return {};
    return tr("Channel %1").arg(channel + 1);
}

QVariant ListModel::headerData(int, Qt::Orientation, int) const
{
    return {};
}

bool ListModel::setData(const QModelIndex &, const QVariant &, int)
{
    return false;
}

Qt::ItemFlags ListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

void ListModel::reset()
{
    beginResetModel();
    endResetModel();
}
