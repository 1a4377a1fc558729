#include "app/historydialog.h"

#include "document/ovsfile.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The journal's words, as the operator reads them.
QString actionText(const QString &action)
{
    if (action == QLatin1String("read"))
        return HistoryDialog::tr("read");
    if (action == QLatin1String("write"))
        return HistoryDialog::tr("write");
    if (action == QLatin1String("verify"))
        return HistoryDialog::tr("verify");
    if (action == QLatin1String("backup"))
        return HistoryDialog::tr("backup");
    if (action == QLatin1String("restore"))
        return HistoryDialog::tr("restore");
    if (action == QLatin1String("go-back"))
        return HistoryDialog::tr("go back");
    return action;
}

QString outcomeText(const QString &outcome)
{
    if (outcome == QLatin1String("ok"))
        return HistoryDialog::tr("ok");
    if (outcome == QLatin1String("failed"))
        return HistoryDialog::tr("failed");
    return outcome;
}
} // namespace

HistoryDialog::HistoryDialog(const JournalReading &journal, const Configuration &base,
                             QWidget *parent)
    : QDialog(parent)
    , m_entries(journal.entries)
    , m_base(base)
    , m_unreadable(!journal.error.isEmpty())
{
    std::reverse(m_entries.begin(), m_entries.end());
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(tr("History"));
    resize(900, 420);

    auto *layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("historyList"));
    m_list->setAccessibleName(tr("Exchanges with the switch, newest first"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({tr("Time"), tr("Action"), tr("Port"), tr("Model"), tr("Outcome"),
                             tr("Reason"), tr("File")});
    for (const JournalEntry &e : std::as_const(m_entries)) {
        auto *item = new QTreeWidgetItem(
                m_list,
                {QLocale().toString(e.time.toLocalTime(), QLocale::ShortFormat),
                 actionText(e.action), e.port, e.model, outcomeText(e.outcome), e.reason, e.file});
        item->setToolTip(5, e.reason);
        item->setToolTip(6, e.file);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list);

    m_source = new QLabel(this);
    m_source->setObjectName(QStringLiteral("entrySource"));
    m_source->setWordWrap(true);
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_source);
    const auto addNote = [this, layout](const QString &name, const QString &text) {
        auto *note = new QLabel(text, this);
        note->setObjectName(name);
        note->setWordWrap(true);
        note->setTextInteractionFlags(Qt::TextSelectableByMouse);
        note->setAccessibleName(text);
        layout->addWidget(note);
    };
    if (journal.damaged > 0)
        addNote(QStringLiteral("damagedLines"),
                tr("Damaged lines of the journal skipped: %1").arg(journal.damaged));
    if (journal.olderSkipped)
        addNote(QStringLiteral("olderSkipped"),
                tr("Older entries were skipped: the journal is larger than %1 MiB.")
                        .arg(Journal::kLargestReadBytes >> 20));
    if (m_unreadable)
        addNote(QStringLiteral("journalError"),
                tr("The journal cannot be read: %1").arg(journal.error));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(tr("Close"));
    m_open = buttons->addButton(tr("&Open as new document"), QDialogButtonBox::ActionRole);
    m_open->setObjectName(QStringLiteral("openEntry"));
    m_open->setAccessibleName(tr("Open as new document"));
    m_compareButton
            = buttons->addButton(tr("Co&mpare with this layout"), QDialogButtonBox::ActionRole);
    m_compareButton->setObjectName(QStringLiteral("compareEntry"));
    m_compareButton->setAccessibleName(tr("Compare with this layout"));
    m_send = buttons->addButton(tr("Send to &switch"), QDialogButtonBox::ActionRole);
    m_send->setObjectName(QStringLiteral("sendEntry"));
    m_send->setAccessibleName(tr("Send to switch"));
    for (QPushButton *b : {m_open, m_compareButton, m_send})
        b->setAutoDefault(false);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_open, &QPushButton::clicked, this, [this] { finish(Request::Open); });
    connect(m_send, &QPushButton::clicked, this, [this] { finish(Request::Send); });
    connect(m_compareButton, &QPushButton::clicked, this, [this] {
        if (m_compare && !m_file.isEmpty())
            m_compare(m_config);
    });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &HistoryDialog::selectionChanged);
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    selectionChanged();
}

QString HistoryDialog::configurationOf(const JournalEntry &entry, const Configuration &base,
                                       Configuration *config)
{
    Configuration read = base;
    if (!entry.restorePoint.isEmpty()
        && readOvsFile(entry.restorePoint, read) == OvsLoadResult::Loaded) {
        *config = read;
        return entry.restorePoint;
    }
    read = base;
    if (!entry.file.isEmpty() && readOvsFile(entry.file, read) == OvsLoadResult::Loaded
        && (entry.sha256.isEmpty() || Journal::sha256Of(read) == entry.sha256)) {
        *config = read;
        return entry.file;
    }
    return {};
}

void HistoryDialog::selectionChanged()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    m_file.clear();
    if (row >= 0 && row < m_entries.size())
        m_file = configurationOf(m_entries.at(row), m_base, &m_config);
    const bool usable = !m_file.isEmpty();
    for (QPushButton *b : {m_open, m_compareButton, m_send})
        b->setEnabled(usable);
    if (row < 0 && m_unreadable)
        m_source->clear(); // the note below says why there is nothing
    else if (row < 0)
        m_source->setText(tr("The journal holds no exchange yet."));
    else if (!usable)
        m_source->setText(tr("No readable configuration belongs to this entry."));
    else if (m_file == m_entries.at(row).restorePoint)
        m_source->setText(tr("What the switch held before this write: %1").arg(m_file));
    else
        m_source->setText(tr("The configuration of this entry: %1").arg(m_file));
    m_source->setAccessibleName(m_source->text());
    m_source->setVisible(!m_source->text().isEmpty());
}

void HistoryDialog::finish(Request request)
{
    if (m_file.isEmpty())
        return;
    m_request = request;
    accept();
}
