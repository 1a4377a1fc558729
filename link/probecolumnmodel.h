#pragma once

#include <QIdentityProxyModel>
#include <QSet>
#include <QString>

class PortList;

// The port table as the port dialog shows it: the columns of its source, each cell's
// whole text as its tool tip (a view may elide it), and one column added for what a
// probe found on the port of each row. The findings are the port list's, kept by port
// name, so they stay with their port when the list is read anew or the dialog reopens.
class ProbeColumnModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    // The source's column 0 holds the port names the findings are kept by.
    explicit ProbeColumnModel(const PortList &ports, QObject *parent = nullptr);

    int findingColumn() const;
    // While a probe runs on the port its cell says so; when it ends, the port list's
    // finding shows.
    void setSearching(const QString &portName, bool searching);
    // Announces that the finding of the port changed.
    void findingChanged(const QString &portName);

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
    QString portNameAt(int row) const;
    QVariant finding(int row, int role) const;

    const PortList &m_ports;
    QSet<QString> m_searching;
};
