#pragma once

#include <QIdentityProxyModel>
#include <QStringList>

// The port table as the port dialog shows it: the columns of its source, each cell's
// whole text as its tool tip (a view may elide it), and one column added for what a
// probe found on the port of each row. The findings are dropped whenever the source
// reads its ports anew.
class ProbeColumnModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    explicit ProbeColumnModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;
    int findingColumn() const;
    void setFinding(int row, const QString &text, const QString &toolTip = QString());
    void clearFindings();

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex index(int row, int column,
                      const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &idx) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Finding
    {
        QString text;
        QString toolTip;
    };
    QList<Finding> m_findings; // by row; rows beyond its end have none
};
