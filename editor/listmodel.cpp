#include "listmodel.h"

#include "document/document.h"

ListModel::ListModel(Document *document, QObject *parent)
    : QAbstractListModel(parent)
    , m_document(document)
{}

int ListModel::rowCount(const QModelIndex &) const
{
    return 0;
}

QVariant ListModel::data(const QModelIndex &, int) const
{
    return {};
}

void ListModel::reset()
{
    beginResetModel();
    endResetModel();
}
