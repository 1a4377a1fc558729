#pragma once

#include <QAbstractListModel>

struct Document;

// The channels of the current configuration that are not placed, as "Channel %1".
// Keeps no data: it reads the document on every request.
class ListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ListModel(Document *document, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Views drop their rows, selection and current item and ask again.
    void reset();

private:
    Document *m_document;
};
