#pragma once

#include <QAbstractTableModel>

class SwitchRoom;

// The room of switches as a table: one row per port, with its description, what answers
// there, the last exchange the journal holds, and the state or the progress of the job
// that runs on it. Texts in the current language.
class SwitchRoomModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Port, Description, Switch, LastExchange, State, ColumnCount };

    explicit SwitchRoomModel(SwitchRoom &room, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Everything anew, after a change of language.
    void retranslate();

private:
    QString text(int row, int column) const;

    SwitchRoom &m_room;
};
