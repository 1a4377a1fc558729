#include "app/switcheswindow.h"
#include "ui_switcheswindow.h"

#include "app/gobackquestion.h"
#include "document/commandhost.h"
#include "document/documentchanges.h"
#include "document/layoutwarnings.h"
#include "document/ovsfile.h"
#include "link/switchroommodel.h"
#include "resources/stylesheet.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QSet>

namespace {

QString loadFailure(OvsLoadResult result)
{
    switch (result) {
    case OvsLoadResult::Loaded:
        break;
    case OvsLoadResult::CouldNotOpen:
        return QCoreApplication::translate("CorvaneCfg", "Could not open file!");
    case OvsLoadResult::Corrupt:
        return QCoreApplication::translate("CorvaneCfg", "File corrupt! Could not read the file!");
    case OvsLoadResult::ChecksumError:
        return QCoreApplication::translate("CorvaneCfg", "Checksum error while reading file!");
    }
    return QString();
}

} // namespace

SwitchesWindow::SwitchesWindow(CommandHost &host, DocumentChanges &changes, PortChoice ports,
                               QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui::SwitchesWindow)
    , m_host(host)
    , m_changes(changes)
    , m_ports(ports)
    , m_model(new SwitchRoomModel(m_room, this))
{
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    ui->tableSwitches->setModel(m_model);
    ui->tableSwitches->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
    ui->tableSwitches->setTextElideMode(Qt::ElideMiddle);
    connect(ui->pushButtonCheck, &QPushButton::clicked, this, &SwitchesWindow::check);
    connect(ui->pushButtonBackUp, &QPushButton::clicked, this, &SwitchesWindow::backUp);
    connect(ui->pushButtonSend, &QPushButton::clicked, this, &SwitchesWindow::sendFile);
    connect(ui->pushButtonOpen, &QPushButton::clicked, this, &SwitchesWindow::openSwitch);
    connect(ui->pushButtonCancel, &QPushButton::clicked, &m_room, &SwitchRoom::cancel);
    // Questions and messages come after the tick of the job that ended, never inside it.
    connect(&m_room, &SwitchRoom::finished, this, &SwitchesWindow::finished,
            Qt::QueuedConnection);
    m_fitColumns.setSingleShot(true);
    m_fitColumns.setInterval(0);
    // The last column, the state, stretches over what the others leave.
    connect(&m_fitColumns, &QTimer::timeout, this, [this] {
        for (int column = 0; column < SwitchRoomModel::State; ++column)
            ui->tableSwitches->resizeColumnToContents(column);
    });
    connect(&m_room, &SwitchRoom::rowsReset, this, [this] {
        m_fitColumns.start();
        updateButtons();
    });
    connect(&m_room, &SwitchRoom::rowChanged, &m_fitColumns, qOverload<>(&QTimer::start));
    connect(ui->tableSwitches->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SwitchesWindow::updateButtons);
    retranslate();
    updateButtons();
}

SwitchesWindow::~SwitchesWindow()
{
    delete m_keep;
    delete ui;
}

void SwitchesWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Every port is asked at once whether a switch answers, and ports that come and go
    // are watched while the window is shown.
    m_room.start();
    m_fitColumns.start();
    ui->tableSwitches->setFocus();
}

void SwitchesWindow::hideEvent(QHideEvent *event)
{
    m_room.stop();
    QWidget::hideEvent(event);
}

// A send may be under way: the switches are never left half-written by closing this.
void SwitchesWindow::closeEvent(QCloseEvent *event)
{
    if (!busy()) {
        event->accept();
        return;
    }
    event->ignore();
    m_closeWhenDone = true;
    ui->labelNote->setText(tr("The window closes when the switches are done with."));
}

void SwitchesWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void SwitchesWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape ends what runs, or else closes the window.
    if (event->key() == Qt::Key_Escape) {
        if (m_room.busy())
            m_room.cancel();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SwitchesWindow::retranslate()
{
    ui->retranslateUi(this);
    m_model->retranslate();
}

QList<int> SwitchesWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : ui->tableSwitches->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SwitchesWindow::updateButtons()
{
    const bool idle = !busy();
    for (QPushButton *button : {ui->pushButtonCheck, ui->pushButtonBackUp, ui->pushButtonSend})
        button->setEnabled(idle && m_room.size() > 0);
    // Open reads one switch: the selected one, or the only one there is.
    ui->pushButtonOpen->setEnabled(idle && (selectedRows().size() == 1 || m_room.size() == 1));
    ui->pushButtonCancel->setEnabled(m_room.busy());
}

void SwitchesWindow::check()
{
    ui->labelNote->clear();
    m_room.check(selectedRows());
    updateButtons();
}

void SwitchesWindow::backUp()
{
    const QList<int> rows = selectedRows();
    // Two ports of one name would share a file; neither is written over the other.
    QSet<QString> names;
    for (int i = 0; i < m_room.size(); ++i) {
        if (!rows.isEmpty() && !rows.contains(i))
            continue;
        const QString name = backupFileName(m_room.row(i).name);
        if (names.contains(name)) {
            m_host.showMessage(tr("Two of the ports would share the file %1; select the switches "
                                  "to back up.")
                                       .arg(name));
            return;
        }
        names.insert(name);
    }
    const QString folder
            = QFileDialog::getExistingDirectory(this, tr("Back up into the folder"), QString());
    if (folder.isEmpty())
        return;
    ui->labelNote->clear();
    m_room.backUp(rows, folder);
    updateButtons();
}

void SwitchesWindow::sendFile()
{
    const QList<int> rows = selectedRows();
    const QString file = QFileDialog::getOpenFileName(this, tr("Send a file"), QString(),
                                                      tr("Configurations (*.ovs)"));
    if (file.isEmpty())
        return;
    Configuration config;
    if (const OvsLoadResult result = readOvsFile(file, config); result != OvsLoadResult::Loaded) {
        m_host.showMessage(loadFailure(result));
        return;
    }
    // The question "Set device configuration" asks, once for all; Return answers Cancel.
    const QString problems = layoutProblemsQuestion(config);
    if (!problems.isEmpty()
        && m_host.showMessage(problems, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
                   != QMessageBox::Yes)
        return;
    ui->labelNote->clear();
    m_room.send(rows, config, file);
    updateButtons();
}

void SwitchesWindow::openSwitch()
{
    const QList<int> rows = selectedRows();
    const int row = rows.size() == 1 ? rows.first() : (m_room.size() == 1 ? 0 : -1);
    if (row < 0)
        return;
    ui->labelNote->clear();
    m_room.open(row);
    updateButtons();
}

void SwitchesWindow::finished(SwitchRoom::Action action)
{
    switch (action) {
    case SwitchRoom::Action::Open:
        opened();
        break;
    case SwitchRoom::Action::Send:
        if (!m_room.written().isEmpty())
            askToKeep();
        else
            offerWayBack();
        break;
    case SwitchRoom::Action::GoBack:
        m_goBackPending = false;
        offerWayBack();
        break;
    case SwitchRoom::Action::None:
    case SwitchRoom::Action::Check:
    case SwitchRoom::Action::BackUp:
        break;
    }
    updateButtons();
    if (m_closeWhenDone && !busy()) {
        m_closeWhenDone = false;
        close();
    }
}

// As "Get device configuration" does, as one step that Undo takes back.
void SwitchesWindow::opened()
{
    int row = -1;
    for (int i = 0; i < m_room.size(); ++i) {
        if (m_room.row(i).action == SwitchRoom::Action::Open)
            row = i;
    }
    if (row < 0 || !m_room.row(row).job || !m_room.row(row).job->succeeded())
        return;
    const SwitchRoom::Row &r = m_room.row(row);
    if (!m_changes.applyReadout(
                m_room.openedConfiguration(),
                {"CorvaneCfg", QT_TRANSLATE_NOOP("CorvaneCfg", "Get device configuration")}))
        m_changes.refresh();
    m_host.setTransmitEnabled(true);
    // "Set device configuration" offers this switch next.
    m_ports.selectedPort = PortDescription{r.name, r.description, r.path, r.commandLine};
    m_ports.bitrate = r.job->bitrate();
    const QString problems = layoutProblemsMessage(m_changes.configuration());
    if (!problems.isEmpty())
        m_host.showMessage(problems);
}

void SwitchesWindow::askToKeep()
{
    delete m_keep;
    // One question and one countdown for every switch the send wrote.
    m_keep = new KeepDialog(this);
    m_keep->setSummary([this] {
        QStringList failed;
        for (int i = 0; i < m_room.size(); ++i) {
            const SwitchRoom::Row &r = m_room.row(i);
            if (r.action == SwitchRoom::Action::Send && r.job && !r.job->succeeded())
                failed << r.name;
        }
        const int count = int(m_room.written().size());
        const QString written = count == 1 ? tr("Written to 1 switch.")
                                           : tr("Written to %1 switches.").arg(count);
        return failed.isEmpty() ? written
                                : tr("%1 Not written: %2.").arg(written, failed.join(", "));
    });
    connect(m_keep, &KeepDialog::answered, this, &SwitchesWindow::keepAnswered);
    m_keep->show();
}

void SwitchesWindow::keepAnswered(KeepDialog::Answer answer)
{
    m_keep->deleteLater();
    m_keep = nullptr;
    if (answer == KeepDialog::Answer::Keep || answer == KeepDialog::Answer::None) {
        offerWayBack();
        updateButtons();
        return;
    }
    // Every switch written goes back at once, each only where it still holds what was
    // sent; those that failed part-way are asked about afterwards.
    m_goBackPending = true;
    m_room.goBack(m_room.written());
    updateButtons();
}

// A switch that failed after part of the send reached it may hold parts of both.
void SwitchesWindow::offerWayBack()
{
    const QList<int> partly = m_room.partlyWritten();
    if (partly.isEmpty())
        return;
    QStringList names;
    for (int i : partly)
        names << m_room.row(i).name;
    const bool goBack = askToGoBack(
            this,
            tr("Not everything was sent to %1, so they may now hold parts of both "
               "configurations.\n\nGo back to the configurations they held before, kept as "
               "restore points?")
                    .arg(names.join(", ")),
            QDir::toNativeSeparators(m_room.row(partly.first()).back->restorePoint));
    if (goBack)
        m_room.goBack(partly);
    updateButtons();
}
