#pragma once

#include "document/configuration.h"
#include "document/journal.h"

#include <QDialog>
#include <QList>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

// Action → History…: the journal's entries newest first, and what can be done with the
// configuration of the selected one: open it as a new untitled document, compare it
// with the layout shown, or send it to the switch. The dialog only chooses; the window
// does the opening and the sending once it has closed.
class HistoryDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Request { None, Open, Send };

    // The journal as it was read, with what kept entries from it; `base` is what an
    // entry's file is read over (the window's configuration, as Open does).
    HistoryDialog(const JournalReading &journal, const Configuration &base,
                  QWidget *parent = nullptr);

    // Called with the selected entry's configuration when Compare is pressed.
    void setCompare(std::function<void(const Configuration &)> compare)
    {
        m_compare = std::move(compare);
    }

    Request request() const { return m_request; }
    const Configuration &configuration() const { return m_config; }
    // The .ovs file that configuration came from.
    QString configurationFile() const { return m_file; }

    // The configuration an entry stands for: for a write, the restore point taken
    // before it (what the switch held); otherwise the entry's file, as long as it still
    // holds the configuration the entry names. Empty when neither can be read.
    static QString configurationOf(const JournalEntry &entry, const Configuration &base,
                                   Configuration *config);

private:
    void selectionChanged();
    void finish(Request request);

    QTreeWidget *m_list = nullptr;
    QLabel *m_source = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_compareButton = nullptr;
    QPushButton *m_send = nullptr;
    QList<JournalEntry> m_entries; // newest first, row for row
    Configuration m_base;
    Configuration m_config;
    QString m_file;
    bool m_unreadable = false; // the journal could not be read, and says so below the list
    Request m_request = Request::None;
    std::function<void(const Configuration &)> m_compare;
};
