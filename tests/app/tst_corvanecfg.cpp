#include "app/corvanecfg.h"
#include "modalanswer.h"
#include "resources/stylesheet.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMetaMethod>
#include <QPushButton>
#include <QSlider>
#include <QSpacerItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

namespace {
// Accepts the start-up dialog: its OK button when it has one, else accept().
void acceptDialog(QWidget *modal)
{
    if (auto *ok = modal->findChild<QPushButton *>(QStringLiteral("pushOk")))
        QTest::mouseClick(ok, Qt::LeftButton);
    else if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->accept();
}

CorvaneCfg *findMainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<CorvaneCfg *>(w))
            return window;
    }
    return nullptr;
}

// What the window looks like when the constructor reaches its start-up dialog.
struct Snapshot
{
    bool taken = false;
    QString title;
    QHash<QString, QPair<bool, bool>> actions; // object name -> enabled, checked
    bool checkBox = false;
    int width = 0;
    Configuration config;

    void take(CorvaneCfg &w)
    {
        taken = true;
        title = w.windowTitle();
        for (QAction *a : w.findChildren<QAction *>(Qt::FindDirectChildrenOnly)) {
            if (!a->objectName().isEmpty())
                actions.insert(a->objectName(), {a->isEnabled(), a->isChecked()});
        }
        checkBox = w.findChild<QCheckBox *>(QStringLiteral("checkBoxEnabled"))->isChecked();
        width = w.width();
        config = w.document().currentConfig;
    }
};
} // namespace

class tst_CorvaneCfg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void stateAtStartupDialog_data();
    void stateAtStartupDialog();
    void startupConfiguration();
    void titles();
    void styleSheetOnlyOnTheWindow();
    void messageBoxMinimumWidth();
    void protocolTimerRestsWithoutConnection();
    void updateWindowTitle_data();
    void updateWindowTitle();
    void languageChangeRetranslatesButKeepsTitle();
    void arrangeFromTheEditMenu();
    void checkBoxDrivesAction_data();
    void checkBoxDrivesAction();
    void actionDrivesCheckBox_data();
    void actionDrivesCheckBox();
    void guardBlocksBothHandlers();
    void mouseSpeedDialog_data();
    void mouseSpeedDialog();
    void aboutDialogShowsVersion();
    void slotTable();

private:
    QAction *action(const char *name) const
    {
        return m_window->findChild<QAction *>(QLatin1String(name));
    }
    QCheckBox *checkBox() const
    {
        return m_window->findChild<QCheckBox *>(QStringLiteral("checkBoxEnabled"));
    }

    QTemporaryDir m_workDir;
    std::unique_ptr<CorvaneCfg> m_window;
    Snapshot m_atStartup;
    bool m_startupDialogAnswered = false;
};

void tst_CorvaneCfg::initTestCase()
{
    // The window reads and writes the LANGUAGE file in the working directory.
    QVERIFY(m_workDir.isValid());
    QVERIFY(QDir::setCurrent(m_workDir.path()));
}

void tst_CorvaneCfg::init()
{
    m_atStartup = Snapshot();
    // The constructor ends in the modal start-up dialog (when there is one): take the
    // snapshot from inside it, then accept it.
    ModalAnswer answer([this](QWidget *modal) {
        if (CorvaneCfg *w = findMainWindow())
            m_atStartup.take(*w);
        acceptDialog(modal);
    });
    m_window = std::make_unique<CorvaneCfg>();
    m_startupDialogAnswered = answer.answered();
    if (!m_atStartup.taken)
        m_atStartup.take(*m_window);
}

void tst_CorvaneCfg::cleanup()
{
    m_window.reset();
    QFile::remove(QStringLiteral("LANGUAGE"));
    // Dialogs are created per slot and must be gone when it returns; the window's
    // message box is the only other top-level and went with the window.
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_CorvaneCfg::stateAtStartupDialog_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checked");

    QTest::newRow("Quit") << "actionQuit" << true << false;
    QTest::newRow("Readout") << "actionReadout" << true << false;
    QTest::newRow("Transmit") << "actionTransmit" << false << false;
    QTest::newRow("New") << "actionNeu" << true << false;
    QTest::newRow("Open") << "action_Open" << true << false;
    QTest::newRow("Save") << "action_Save" << false << false;
    QTest::newRow("Save as") << "action_Save_as" << true << false;
    QTest::newRow("Switching") << "action_OrvanelSwitching" << true << true;
    QTest::newRow("Mouse speed") << "action_Maus_speed" << true << false;
    QTest::newRow("About") << "action_About" << true << false;
    QTest::newRow("Print") << "action_Print" << true << false;
    // No LANGUAGE file: English.
    QTest::newRow("English") << "action_English" << true << true;
    QTest::newRow("Deutsch") << "action_Deutsch" << true << false;
    // Nothing to take back yet.
    QTest::newRow("Undo") << "actionUndo" << false << false;
    QTest::newRow("Redo") << "actionRedo" << false << false;
    QTest::newRow("Verify") << "actionVerify" << true << false;
    QTest::newRow("Export record") << "actionExportRecord" << true << false;
    QTest::newRow("Switches") << "actionSwitches" << true << false;
}

void tst_CorvaneCfg::stateAtStartupDialog()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    QFETCH(bool, checked);

    QVERIFY2(m_atStartup.actions.contains(name), qPrintable(name));
    QCOMPARE(m_atStartup.actions.value(name).first, enabled);
    QCOMPARE(m_atStartup.actions.value(name).second, checked);
    QCOMPARE(m_atStartup.actions.size(), 18);
}

void tst_CorvaneCfg::startupConfiguration()
{
    const Configuration &c = m_atStartup.config;
    QCOMPARE(c.channelCount, quint8(4));
    QCOMPARE(c.deviceChannels, quint8(8));
    QCOMPARE(c.switchingEnabled, quint8(1));
    QCOMPARE(c.mouseSpeed, quint8(5));
    for (const ChannelEntry &e : c.channels)
        QCOMPARE(e, ChannelEntry());
    QVERIFY(m_atStartup.checkBox);
    // 280 + 16 cells of 46 pixels.
    QCOMPARE(m_atStartup.width, 1016);
}

void tst_CorvaneCfg::titles()
{
    QCOMPARE(m_atStartup.title, QStringLiteral("Orvanel Switching Config Tool"));
    // Accepting the start-up dialog names the chosen model in the title.
    if (m_startupDialogAnswered)
        QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("Vorrix ")));
    QCOMPARE(m_window->messageBox.windowTitle(), QStringLiteral("Orvanel Switching Config Tool"));
    QVERIFY(!m_window->messageBox.windowIcon().isNull());
}

void tst_CorvaneCfg::styleSheetOnlyOnTheWindow()
{
    QCOMPARE(m_window->styleSheet(), QString::fromLatin1(kStyleSheet));
    QVERIFY(m_window->messageBox.styleSheet().isEmpty());

    // The sheet's grey must reach the tool bar's own area too: Fusion paints a gradient
    // there unless the tool bar has a border rule. Checked beyond the last button.
    auto *toolBar = m_window->findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    QVERIFY(toolBar);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const QImage image = toolBar->grab().toImage();
    const int x = image.width() - 3;
    for (int y = 0; y < image.height(); ++y)
        QCOMPARE(image.pixelColor(x, y).name(), QStringLiteral("#efefef"));
}

// Short messages would otherwise give a box barely wider than its button.
void tst_CorvaneCfg::messageBoxMinimumWidth()
{
    QMessageBox &box = m_window->messageBox;
    box.setText(QStringLiteral("OK"));
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    QVERIFY(grid);

    QSpacerItem *spacer = nullptr;
    for (int i = 0; i < grid->count(); ++i) {
        if (QSpacerItem *s = grid->itemAt(i)->spacerItem(); s && s->sizeHint().width() == 250)
            spacer = s;
    }
    QVERIFY(spacer);
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(spacer), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(row, grid->rowCount() - 1);
    QCOMPARE(column, 0);
    QCOMPARE(columnSpan, grid->columnCount());
    QVERIFY(box.minimumSizeHint().width() >= 250);
}

// The 2 ms tick would wake the machine 500 times a second for nothing.
void tst_CorvaneCfg::protocolTimerRestsWithoutConnection()
{
    QVERIFY(m_window->protocolTimer);
    QVERIFY(!m_window->protocolTimer->isActive());
    QCOMPARE(m_window->protocolTimer->timerType(), Qt::PreciseTimer);
    QCOMPARE(m_window->protocolTimer->interval(), 2);
    QCOMPARE(m_window->protocolTimer->parent(), m_window.get());
}

void tst_CorvaneCfg::updateWindowTitle_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("title");

    QTest::newRow("2") << 2 << "Vorrix 2";
    QTest::newRow("4") << 4 << "Vorrix 4";
    QTest::newRow("8") << 8 << "Vorrix 8";
}

void tst_CorvaneCfg::updateWindowTitle()
{
    QFETCH(int, channels);
    QFETCH(QString, title);

    m_window->document().currentConfig.channelCount = quint8(channels);
    m_window->updateWindowTitle();
    QCOMPARE(m_window->windowTitle(), title);
}

void tst_CorvaneCfg::languageChangeRetranslatesButKeepsTitle()
{
    m_window->document().currentConfig.channelCount = 8;
    m_window->updateWindowTitle();
    action("actionNeu")->setText(QStringLiteral("stale"));
    action("action_Maus_speed")->setToolTip(QStringLiteral("stale"));
    checkBox()->setText(QStringLiteral("stale"));

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(m_window.get(), &change);

    QCOMPARE(action("actionNeu")->text(), QStringLiteral("&New"));
    QCOMPARE(action("action_Maus_speed")->toolTip(), QStringLiteral("Mouse speed"));
    QCOMPARE(checkBox()->text(), QStringLiteral("Orvanel Switching on/off"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Vorrix 8"));
    QCOMPARE(m_window->messageBox.windowTitle(), QStringLiteral("Orvanel Switching Config Tool"));
}

// The arrange actions sit below Undo and Redo, also after the language changed (which
// makes Undo and Redo anew), and assistive technology finds them by their texts.
void tst_CorvaneCfg::arrangeFromTheEditMenu()
{
    Configuration config = m_window->document().currentConfig;
    config.channels[0] = ChannelEntry{1, 4, 3, 6, 5, 0, 0};
    config.channels[1] = ChannelEntry{1, 0, 6, 2, 8, 0, 0};
    m_window->documentChanges().replaceAll(config);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(m_window.get(), &change);

    auto *menu = m_window->findChild<QMenu *>(QStringLiteral("menuEdit"));
    QVERIFY(menu);
    QStringList names;
    for (const QAction *a : menu->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(names, QStringList({"actionUndo", "actionRedo", "-", "actionSelectProblems", "-",
                                 "actionArrangeRow", "actionArrangeGrid"}));

    QAccessibleInterface *items = QAccessible::queryAccessibleInterface(menu);
    QVERIFY(items);
    QAccessibleInterface *row = nullptr;
    for (int k = 0; k < items->childCount(); ++k) {
        if (items->child(k)->text(QAccessible::Name) == QLatin1String("Arrange in a row"))
            row = items->child(k);
    }
    QVERIFY(row && row->actionInterface());
    row->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    const Configuration &arranged = m_window->document().currentConfig;
    QCOMPARE(arranged.channels[0], (ChannelEntry{1, 0, 3, 2, 5, 0, 0}));
    QCOMPARE(arranged.channels[1], (ChannelEntry{1, 2, 3, 4, 5, 0, 0}));
    action("actionUndo")->trigger();
    QCOMPARE(m_window->document().currentConfig, config);
}

void tst_CorvaneCfg::checkBoxDrivesAction_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("actionChecked");
    QTest::addColumn<int>("switching");

    QTest::newRow("switched off") << int(Qt::Checked) << int(Qt::Unchecked) << false << 0;
    QTest::newRow("switched on") << int(Qt::Unchecked) << int(Qt::Checked) << true << 1;
    // The partial state is not a setting: nothing follows it.
    QTest::newRow("partial after off")
            << int(Qt::Unchecked) << int(Qt::PartiallyChecked) << false << 0;
    QTest::newRow("partial after on") << int(Qt::Checked) << int(Qt::PartiallyChecked) << true << 1;
}

void tst_CorvaneCfg::checkBoxDrivesAction()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, actionChecked);
    QFETCH(int, switching);

    checkBox()->setCheckState(Qt::CheckState(from));
    checkBox()->setCheckState(Qt::CheckState(to));

    QCOMPARE(action("action_OrvanelSwitching")->isChecked(), actionChecked);
    QCOMPARE(int(m_window->document().currentConfig.switchingEnabled), switching);
    QVERIFY(!m_window->document().syncingControls);
}

void tst_CorvaneCfg::actionDrivesCheckBox_data()
{
    QTest::addColumn<bool>("checked");

    QTest::newRow("off") << false;
    QTest::newRow("on") << true;
}

void tst_CorvaneCfg::actionDrivesCheckBox()
{
    QFETCH(bool, checked);

    QAction *switching = action("action_OrvanelSwitching");
    switching->setChecked(!checked);
    switching->trigger(); // as from the menu: toggles and emits changed()

    QCOMPARE(switching->isChecked(), checked);
    QCOMPARE(checkBox()->isChecked(), checked);
    QCOMPARE(int(m_window->document().currentConfig.switchingEnabled), checked ? 1 : 0);
    QVERIFY(!m_window->document().syncingControls);
}

// While the program itself sets the controls, neither handler may write the record.
void tst_CorvaneCfg::guardBlocksBothHandlers()
{
    Document &doc = m_window->document();
    QVERIFY(checkBox()->isChecked());
    doc.syncingControls = true;

    checkBox()->setChecked(false);
    QVERIFY(action("action_OrvanelSwitching")->isChecked());
    QCOMPARE(doc.currentConfig.switchingEnabled, quint8(1));

    checkBox()->setChecked(true);
    action("action_OrvanelSwitching")->setChecked(false);
    QVERIFY(checkBox()->isChecked());
    QCOMPARE(doc.currentConfig.switchingEnabled, quint8(1));

    doc.syncingControls = false;
    doc.currentConfig.switchingEnabled = 0;
    m_window->syncSwitchingControls();
    QVERIFY(!checkBox()->isChecked());
    QVERIFY(!action("action_OrvanelSwitching")->isChecked());
    QVERIFY(!doc.syncingControls);
}

void tst_CorvaneCfg::mouseSpeedDialog_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("after");

    QTest::newRow("Set stores the new speed") << 5 << 5 << "pushSet" << 10;
    QTest::newRow("Cancel keeps the old speed") << 5 << 5 << "pushCancel" << 5;
    // A value outside the slider comes back as the nearer end only when accepted.
    QTest::newRow("out of range, Set") << 0 << 1 << "pushSet" << 10;
    QTest::newRow("out of range, Cancel") << 0 << 1 << "pushCancel" << 0;
}

void tst_CorvaneCfg::mouseSpeedDialog()
{
    QFETCH(int, stored);
    QFETCH(int, shown);
    QFETCH(QString, button);
    QFETCH(int, after);

    Document &doc = m_window->document();
    doc.currentConfig.mouseSpeed = quint8(stored);
    doc.modified = false;
    int seen = -1;
    ModalAnswer answer([&](QWidget *modal) {
        auto *slider = modal->findChild<QSlider *>(QStringLiteral("horizontalSlider"));
        seen = slider->value();
        slider->setValue(10);
        QTest::mouseClick(modal->findChild<QPushButton *>(button), Qt::LeftButton);
    });
    action("action_Maus_speed")->trigger();

    QVERIFY(answer.answered());
    QCOMPARE(seen, shown);
    QCOMPARE(int(doc.currentConfig.mouseSpeed), after);
    QCOMPARE(doc.modified, after != stored);
}

void tst_CorvaneCfg::aboutDialogShowsVersion()
{
    QString version;
    ModalAnswer answer([&](QWidget *modal) {
        version = modal->findChild<QLabel *>(QStringLiteral("label_version"))->text();
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("pushButtonOk")),
                          Qt::LeftButton);
    });
    action("action_About")->trigger();

    QVERIFY(answer.answered());
    QCOMPARE(version, QStringLiteral("Version 1.0.001 (00170)"));
}

// Menu actions and editor signals reach the window by the names in its slot table,
// whose order is part of the window's interface too.
void tst_CorvaneCfg::slotTable()
{
    const QMetaObject &meta = CorvaneCfg::staticMetaObject;
    QStringList names;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        if (meta.method(i).methodType() == QMetaMethod::Slot)
            names << QString::fromLatin1(meta.method(i).methodSignature());
    }
    const QStringList expected{"MsTimerSlot()",
                               "ConnectionDelaySlot()",
                               "ConnectionDelaySlot2()",
                               "ClosingDelaySlot()",
                               "childGetsFocus()",
                               "addChannelsToConfig(QList<int>)",
                               "delChannelsToConfig(QList<int>)",
                               "areaScroll(int,int)",
                               "changeEvent(QEvent*)",
                               "on_actionQuit_triggered()",
                               "on_actionReadout_triggered()",
                               "on_actionTransmit_triggered()",
                               "on_actionNeu_triggered()",
                               "on_action_Open_triggered()",
                               "on_action_Save_triggered()",
                               "on_action_Save_as_triggered()",
                               "on_action_OrvanelSwitching_changed()",
                               "on_action_Maus_speed_triggered()",
                               "on_action_About_triggered()",
                               "on_checkBoxEnabled_stateChanged(int)",
                               "on_action_Print_triggered()",
                               "on_toolButtonDel_clicked()",
                               "on_toolButtonAdd_clicked()",
                               "on_action_English_triggered()",
                               "on_action_Deutsch_triggered()"};
    QCOMPARE(names, expected);
}

QTEST_MAIN(tst_CorvaneCfg)
#include "tst_corvanecfg.moc"
