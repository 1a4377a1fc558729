#pragma once

#include <QAbstractListModel>

struct Document;

// The channels of the current configuration that have no tile on the canvas, as
// "Channel %1".
// Keeps no data: it reads the document on every request.
class ListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ListModel(Document *document, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The channel index (0..7) shown in a row, or -1 when there is no such row.
    int channelAt(int row) const;

    // Views drop their rows, selection and current item and ask again.
    void reset();

private:
    Document *m_document;
};
