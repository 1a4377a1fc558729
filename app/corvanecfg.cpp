#include "corvanecfg.h"
#include "ui_corvanecfg.h"

#include "app/about.h"
#include "app/documentstatus.h"
#include "app/exchangestatus.h"
#include "app/keyboardaccess.h"
#include "app/languageswitch.h"
#include "app/mausspeed.h"
#include "app/recordexport.h"
#include "app/resolution.h"
#include "app/switcheswindow.h"
#include "app/wayback.h"
#include "app/windowhost.h"
#include "document/commandhost.h"
#include "document/documentcommands.h"
#include "editor/arrangeactions.h"
#include "editor/editorwiring.h"
#include "editor/layoutmarks.h"
#include "editor/listmodel.h"
#include "editor/rasterwidget.h"
#include "link/devicesequence.h"
#include "link/link.h"
#include "resources/stylesheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSpacerItem>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace {
const char kVersion[] = "1.0.001 (00170)";
} // namespace

namespace {
// The one local .ovs file a drag from a file manager carries, or empty.
QString droppedConfigFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().first();
    if (!url.isLocalFile()
        || !url.toLocalFile().endsWith(QLatin1String(".ovs"), Qt::CaseInsensitive))
        return {};
    return url.toLocalFile();
}
} // namespace

CorvaneCfg::CorvaneCfg(QWidget *parent, const QString &startupFile)
    : QMainWindow(parent)
    , m_listModel(std::make_unique<ListModel>(&m_document))
    , ui(new Ui::CorvaneCfg)
    , m_host(std::make_unique<Host>(*this))
{
    ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    ui->mainToolBar->setStyleSheet(QString::fromLatin1(kToolBarStyleSheet));
    ui->rasterwidget->setContext(&m_changes, &m_editorState, m_listModel.get());
    ui->rasterwidget->setResolutionPrompt(&Resolution::ask);

    protocolTimer = new QTimer(this);
    // A coarse 2 ms timer jitters up to 5 ms under load; the link counts ticks.
    protocolTimer->setTimerType(Qt::PreciseTimer);
    protocolTimer->setInterval(kProtocolTickMs);

    makeOwners();
    makeMenus();
    setAcceptDrops(true);

    resize(280 + 16 * m_editorState.cellWidth, height());

    connect(ui->listView, SIGNAL(gotFocus()), this, SLOT(childGetsFocus()));

    // The list pane starts with a quarter of the splitter and the canvas the rest; the
    // splitter keeps that proportion when the window is resized.
    const int splitWidth = ui->splitter->width();
    QList<int> sizes = ui->splitter->sizes();
    if (sizes.size() >= 2) {
        sizes[0] = splitWidth / 4;
        sizes[1] = splitWidth - sizes[0];
        ui->splitter->setSizes(sizes);
    }

    // It ticks only while a connection exists: the device sequence starts and stops it.
    connect(protocolTimer, SIGNAL(timeout()), this, SLOT(MsTimerSlot()));

    bitrate = 115200;

    resetConfiguration(m_document.currentConfig);
    m_document.currentConfig.channelCount = 4;

    ui->actionTransmit->setEnabled(false);
    syncSwitchingControls();

    setUpMessageBox();

    ui->listView->setModel(m_listModel.get());
    setWindowTitle(tr("Orvanel Switching Config Tool"));

    connect(ui->listView, SIGNAL(addCannelsToConfig(QList<int>)), this,
            SLOT(addChannelsToConfig(QList<int>)));
    connect(ui->widget_2, SIGNAL(delChannelsFromConfig(QList<int>)), this,
            SLOT(delChannelsToConfig(QList<int>)));
    connect(ui->rasterwidget, SIGNAL(areaScroll(int, int)), this, SLOT(areaScroll(int, int)));

    loadLanguageChoice();
    if (startupFile.isEmpty() || !m_documentCommands->openFile(startupFile, &m_startupProblems))
        newConfiguration(true);
}

// The objects the window hands its work to, and the status bar's parts; the window's
// three single-shot slots follow the connection's delays.
void CorvaneCfg::makeOwners()
{
    m_sequence = std::make_unique<DeviceSequence>(
            *m_host, m_changes, PortChoice{selectedPort, bitrate, availablePorts}, *protocolTimer);
    m_documentCommands = std::make_unique<DocumentCommands>(*m_host, m_changes);
    m_editorWiring = std::make_unique<EditorWiring>(
            m_changes, m_editorState, *m_listModel,
            EditorWiring::Widgets{ui->rasterwidget, ui->listView, ui->widget_2, ui->scrollArea});
    m_language = std::make_unique<LanguageSwitch>(*ui->action_English, *ui->action_Deutsch);
    m_marks = std::make_unique<LayoutMarks>(m_changes, *ui->rasterwidget, ui->statusBar);
    new ExchangeStatus(m_sequence->report(), *ui->statusBar);
    new DocumentStatus(m_changes, *ui->statusBar);
    new RecordExport(*m_host, m_changes, m_sequence->report(), *ui->menuDatei, *ui->action_Print);
    new KeyboardAccess(*this);

    connect(&m_changes, &DocumentChanges::configurationChanged, this,
            &CorvaneCfg::onConfigurationChanged);
    connect(&m_sequence->leadInTimer(), &QTimer::timeout, this, &CorvaneCfg::ConnectionDelaySlot);
    connect(&m_sequence->helloTimer(), &QTimer::timeout, this, &CorvaneCfg::ConnectionDelaySlot2);
    connect(&m_sequence->closeTimer(), &QTimer::timeout, this, &CorvaneCfg::ClosingDelaySlot);
}

// Edit after File; Verify, History and Switches in Action after the two transfers.
void CorvaneCfg::makeMenus()
{
    // Edit, after File: Undo and Redo of the document's history.
    m_editMenu = new QMenu(this);
    m_editMenu->setObjectName(QStringLiteral("menuEdit"));
    m_editMenu->setTitle(tr("&Edit"));
    ui->menuBar->insertMenu(ui->menuAction->menuAction(), m_editMenu);
    makeUndoActions();
    m_editMenu->addSeparator();
    m_editMenu->addAction(m_marks->selectAction());
    new ArrangeActions(*m_editMenu, m_changes, m_editorState);
    // Action: compare the switch with the window, after the two transfers.
    m_verifyAction = new QAction(this);
    m_verifyAction->setObjectName(QStringLiteral("actionVerify"));
    m_verifyAction->setText(tr("&Verify device configuration"));
    ui->menuAction->addAction(m_verifyAction);
    connect(m_verifyAction, &QAction::triggered, this, [this] { m_sequence->startVerify(); });
    m_wayBack = std::make_unique<WayBack>(WayBack::Parts{*m_host, m_changes, *m_documentCommands,
                                                         *m_sequence, selectedPort, messageBox,
                                                         *ui->menuAction});
    // Action → Switches…: the room of switches beside the window.
    m_switchesAction = new QAction(this);
    m_switchesAction->setObjectName(QStringLiteral("actionSwitches"));
    m_switchesAction->setText(tr("S&witches…"));
    ui->menuAction->addAction(m_switchesAction);
    connect(m_switchesAction, &QAction::triggered, this, &CorvaneCfg::showSwitches);
}

// The one message box of the program: a minimum width, the logo and a title that stays.
void CorvaneCfg::setUpMessageBox()
{
    // A minimum width for every message: a spacer row below the box's own rows.
    if (auto *grid = qobject_cast<QGridLayout *>(messageBox.layout())) {
        grid->addItem(new QSpacerItem(250, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    messageBox.setWindowIcon(windowIcon());
    messageBox.setWindowTitle(tr("Orvanel Switching Config Tool"));
}

CorvaneCfg::~CorvaneCfg()
{
    protocolTimer->stop();
    // It holds the document and the host, which go before the window's children would.
    delete m_switches;
    // The controllers hold the form's widgets; they go before it.
    m_wayBack.reset();
    m_language.reset();
    m_marks.reset();
    m_editorWiring.reset();
    m_documentCommands.reset();
    m_sequence.reset();
    // The canvas, the list and the drop zone hold pointers to the document, the editor
    // state and the list model, which are members and die before the base class would
    // delete its child widgets; so the widgets go first.
    delete takeCentralWidget();
    delete ui;
}

RasterWidget *CorvaneCfg::rasterWidget() const
{
    return ui->rasterwidget;
}

void CorvaneCfg::setExtraPorts(const QStringList &paths)
{
    m_sequence->setExtraPorts(paths);
    m_extraPorts = paths;
    if (m_switches)
        m_switches->setExtraPorts(paths);
}

void CorvaneCfg::showSwitches()
{
    if (!m_switches) {
        m_switches = new SwitchesWindow(*m_host, m_changes,
                                        PortChoice{selectedPort, bitrate, availablePorts}, this);
        m_switches->setExtraPorts(m_extraPorts);
    }
    m_switches->show();
    m_switches->raise();
    m_switches->activateWindow();
}

void CorvaneCfg::updateWindowTitle()
{
    setWindowTitle(tr("Vorrix %1").arg(m_document.currentConfig.channelCount));
}

void CorvaneCfg::onConfigurationChanged()
{
    updateWindowTitle();
    syncSwitchingControls();
}

void CorvaneCfg::makeUndoActions()
{
    delete m_undoAction;
    delete m_redoAction;
    QUndoStack &stack = m_changes.undoStack();
    m_undoAction = stack.createUndoAction(this);
    m_undoAction->setObjectName(QStringLiteral("actionUndo"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction = stack.createRedoAction(this);
    m_redoAction->setObjectName(QStringLiteral("actionRedo"));
    m_redoAction->setShortcut(QKeySequence::Redo);
    // Made anew on a language change: they go back to the top of the menu.
    QAction *first = m_editMenu->actions().value(0);
    m_editMenu->insertActions(first, {m_undoAction, m_redoAction});
}

void CorvaneCfg::retranslateTexts()
{
    ui->menuDatei->setTitle(tr("&File"));
    if (m_editMenu) {
        m_editMenu->setTitle(tr("&Edit"));
        makeUndoActions();
    }
    if (m_verifyAction)
        m_verifyAction->setText(tr("&Verify device configuration"));
    if (m_switchesAction)
        m_switchesAction->setText(tr("S&witches…"));
    if (m_wayBack)
        m_wayBack->retranslate();
    ui->menuAction->setTitle(tr("&Action"));
    ui->menu_Settings->setTitle(tr("&Settings"));
    ui->menu_Help->setTitle(tr("&Help"));
    ui->menu_Language->setTitle(tr("&Language"));
    ui->actionNeu->setText(tr("&New"));
    ui->action_Open->setText(tr("&Open"));
    ui->action_Save->setText(tr("&Save"));
    ui->action_Save_as->setText(tr("&Save as ..."));
    ui->action_Print->setText(tr("&Print"));
    ui->actionQuit->setText(tr("&Quit"));
    ui->actionReadout->setText(tr("&Get device configuration"));
    ui->actionTransmit->setText(tr("&Set device configuration"));
    ui->action_OrvanelSwitching->setText(tr("&Orvanel Switching on/off"));
    ui->action_Maus_speed->setText(tr("&Mouse speed"));
    ui->action_Maus_speed->setToolTip(tr("Mouse speed"));
    ui->action_About->setText(tr("&About Z&&Q Orvanel Switching Config Tool"));
    ui->checkBoxEnabled->setText(tr("Orvanel Switching on/off"));
    ui->toolButtonAdd->setText(tr("Add"));
    ui->toolButtonAdd->setToolTip(tr("Add"));
    ui->toolButtonDel->setText(tr("Remove"));
    ui->toolButtonDel->setToolTip(tr("Remove"));
}

void CorvaneCfg::syncSwitchingControls()
{
    const bool on = m_document.currentConfig.switchingEnabled == 1;
    // Also called while one of the two controls' own handlers holds the guard.
    const bool wasSyncing = m_document.syncingControls;
    m_document.syncingControls = true;
    ui->action_OrvanelSwitching->setChecked(on);
    ui->checkBoxEnabled->setChecked(on);
    m_document.syncingControls = wasSyncing;
}

void CorvaneCfg::newConfiguration(bool atStartup)
{
    m_documentCommands->newConfiguration(atStartup);
}

bool CorvaneCfg::askToSave()
{
    return m_documentCommands->askToSave();
}

void CorvaneCfg::saveConfigFile()
{
    m_documentCommands->saveConfigFile();
}

void CorvaneCfg::loadConfigFile()
{
    m_documentCommands->loadConfigFile();
}

void CorvaneCfg::applyLanguage(const QString &language)
{
    m_language->applyLanguage(language);
}

void CorvaneCfg::saveLanguageChoice()
{
    m_language->saveLanguageChoice();
}

void CorvaneCfg::loadLanguageChoice()
{
    m_language->loadLanguageChoice();
}

bool CorvaneCfg::busyWithSwitch() const
{
    return m_sequence->connectionInProgress() || (m_wayBack && m_wayBack->busy())
           || (m_switches && m_switches->busy());
}

void CorvaneCfg::closeWhenIdle()
{
    if (!m_closeWhenIdle) {
        m_closePending = new QLabel(this);
        m_closePending->setObjectName(QStringLiteral("closePending"));
        ui->statusBar->addPermanentWidget(m_closePending);
        m_closeWhenIdle = new QTimer(this);
        m_closeWhenIdle->setInterval(100);
        connect(m_closeWhenIdle, &QTimer::timeout, this, [this] {
            // Once the exchange has ended and its questions have been answered or have
            // run out; a message still open is read first.
            if (busyWithSwitch() || QApplication::activeModalWidget())
                return;
            m_closeWhenIdle->stop();
            m_closePending->hide();
            close();
        });
    }
    m_closePending->setText(tr("The window closes when the exchange with the switch has ended."));
    m_closePending->show();
    m_closeWhenIdle->start();
}

void CorvaneCfg::closeEvent(QCloseEvent *event)
{
    // The switch is never left half-written: Quit during an exchange waits for its end.
    if (busyWithSwitch()) {
        event->ignore();
        closeWhenIdle();
        return;
    }
    if (askToSave())
        event->accept();
    else
        event->ignore();
}

void CorvaneCfg::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_startupProblems.isEmpty())
        return;
    // Once the window stands, so the operator sees the tiles the message is about.
    QTimer::singleShot(0, this, [this, text = std::exchange(m_startupProblems, {})] {
        m_host->showMessage(text, QMessageBox::Ok, QMessageBox::Ok);
    });
}

void CorvaneCfg::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedConfigFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CorvaneCfg::dropEvent(QDropEvent *event)
{
    const QString path = droppedConfigFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // After the drop has finished: the save prompt and the messages are modal, and the
    // file manager should not wait for them.
    QTimer::singleShot(0, this, [this, path] { m_documentCommands->openDroppedFile(path); });
}

void CorvaneCfg::MsTimerSlot()
{
    m_sequence->msTimerSlot();
}

void CorvaneCfg::ConnectionDelaySlot()
{
    m_sequence->connectionDelaySlot();
}

void CorvaneCfg::ConnectionDelaySlot2()
{
    m_sequence->connectionDelaySlot2();
}

void CorvaneCfg::ClosingDelaySlot()
{
    m_sequence->closingDelaySlot();
}

void CorvaneCfg::childGetsFocus()
{
    m_editorWiring->childGetsFocus();
}

void CorvaneCfg::addChannelsToConfig(QList<int> indexList)
{
    m_editorWiring->addChannelsToConfig(indexList);
}

void CorvaneCfg::delChannelsToConfig(QList<int> indexList)
{
    m_editorWiring->delChannelsToConfig(indexList);
}

void CorvaneCfg::areaScroll(int x, int y)
{
    m_editorWiring->areaScroll(x, y);
}

void CorvaneCfg::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateTexts();
        return;
    }
    QMainWindow::changeEvent(event);
}

void CorvaneCfg::on_actionQuit_triggered()
{
    close();
}

void CorvaneCfg::on_actionReadout_triggered()
{
    m_sequence->startReadout();
}

void CorvaneCfg::on_actionTransmit_triggered()
{
    m_sequence->startTransmit();
}

void CorvaneCfg::on_actionNeu_triggered()
{
    newConfiguration(false);
}

void CorvaneCfg::on_action_Open_triggered()
{
    m_documentCommands->open();
}

void CorvaneCfg::on_action_Save_triggered()
{
    m_documentCommands->save();
}

void CorvaneCfg::on_action_Save_as_triggered()
{
    m_documentCommands->saveAs();
}

void CorvaneCfg::on_action_OrvanelSwitching_changed()
{
    if (m_document.syncingControls)
        return;
    m_document.syncingControls = true;
    const bool on = ui->action_OrvanelSwitching->isChecked();
    ui->checkBoxEnabled->setChecked(on);
    Configuration after = m_document.currentConfig;
    after.switchingEnabled = on ? 1 : 0;
    m_changes.apply(after, DocumentChanges::switchingText(on));
    m_document.syncingControls = false;
}

void CorvaneCfg::on_action_Maus_speed_triggered()
{
    MausSpeed dialog;
    dialog.setSpeed(m_document.currentConfig.mouseSpeed);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Configuration after = m_document.currentConfig;
    after.mouseSpeed = quint8(dialog.speed());
    m_changes.apply(after, DocumentChanges::mouseSpeedText());
}

void CorvaneCfg::on_action_About_triggered()
{
    About dialog;
    dialog.setVersion(QString::fromLatin1(kVersion));
    dialog.exec();
}

void CorvaneCfg::on_checkBoxEnabled_stateChanged(int state)
{
    if (m_document.syncingControls)
        return;
    m_document.syncingControls = true;
    if (state == Qt::Checked || state == Qt::Unchecked) {
        const bool on = state == Qt::Checked;
        ui->action_OrvanelSwitching->setChecked(on);
        Configuration after = m_document.currentConfig;
        after.switchingEnabled = on ? 1 : 0;
        m_changes.apply(after, DocumentChanges::switchingText(on));
    }
    m_document.syncingControls = false;
}

void CorvaneCfg::on_action_Print_triggered()
{
    m_documentCommands->print();
}

void CorvaneCfg::on_toolButtonDel_clicked()
{
    m_editorWiring->toolButtonDel();
}

void CorvaneCfg::on_toolButtonAdd_clicked()
{
    m_editorWiring->toolButtonAdd();
}

void CorvaneCfg::on_action_English_triggered()
{
    m_language->englishTriggered();
}

void CorvaneCfg::on_action_Deutsch_triggered()
{
    m_language->deutschTriggered();
}
