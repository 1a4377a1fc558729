#include "app/corvanecfg.h"
#include "app/resolution.h"
#include "app/switcheswindow.h"
#include "document/commandhost.h"
#include "document/documentchanges.h"
#include "link/comport.h"
#include "link/mytablemodel.h"
#include "link/portlist.h"
#include "modalanswer.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// "Class 'name'" of every visible, focusable object below the interface that a screen
// reader could not name.
void collectUnnamed(QAccessibleInterface *iface, QStringList &unnamed, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 40)
        return;
    const QAccessible::State state = iface->state();
    if (state.invisible)
        return;
    if (state.focusable && iface->text(QAccessible::Name).trimmed().isEmpty()) {
        const QObject *object = iface->object();
        unnamed << QStringLiteral("%1 '%2' (role %3)")
                           .arg(object ? object->metaObject()->className() : "cell",
                                object ? object->objectName() : QString())
                           .arg(int(iface->role()));
    }
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), unnamed, depth + 1);
}

std::unique_ptr<QWidget> mainWindow()
{
    ModalAnswer accept([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->accept();
    });
    return std::make_unique<CorvaneCfg>();
}

// The Switches window needs a document and a host for Open; it opens nothing here.
struct SwitchesHost : CommandHost
{
    QWidget *hostWindow() override { return nullptr; }
    int showMessage(const QString &, QMessageBox::StandardButtons,
                    QMessageBox::StandardButton) override
    {
        return QMessageBox::Ok;
    }
    void setBusy(bool) override {}
    void setSaveEnabled(bool) override {}
    void setTransmitEnabled(bool) override {}
    PrintArea preparePrintArea() override { return {}; }
};

} // namespace

using WindowMaker = std::function<std::unique_ptr<QWidget>()>;
Q_DECLARE_METATYPE(WindowMaker)

// What a screen reader finds in each window: every object the keyboard can reach has a
// name it can speak.
class tst_AccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFocusableObjectIsNamed_data();
    void everyFocusableObjectIsNamed();

private:
    Document m_document;
    DocumentChanges m_changes{m_document};
    SwitchesHost m_host;
    PortDescription m_selected;
    int m_bitrate = 115200;
    QList<PortDescription> m_available;
    PortList m_ports{[] {
        return QList<PortDescription>{{"ttyS0", "Onboard", "/dev/ttyS0"},
                                      {"ttyUSB0", "", "/dev/ttyUSB0"}};
    }};
    MyTableModel m_portModel{m_ports};
};

void tst_AccessibleNames::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_ports.setExtraPorts({QStringLiteral("/dev/pts/9")});
    // One port with a finding, one without: both kinds of cell are named.
    m_ports.setFinding(QStringLiteral("ttyS0"), ProbeResult{});
}

void tst_AccessibleNames::everyFocusableObjectIsNamed_data()
{
    QTest::addColumn<WindowMaker>("make");

    QTest::newRow("main window") << WindowMaker(&mainWindow);
    QTest::newRow("port dialog") << WindowMaker([this]() -> std::unique_ptr<QWidget> {
        auto dialog = std::make_unique<comPort>(m_portModel);
        dialog->selectPort(m_ports.at(1));
        return dialog;
    });
    // Ports given on the command line that answer nothing: every column of their rows.
    QTest::newRow("switches window") << WindowMaker([this]() -> std::unique_ptr<QWidget> {
        auto window = std::make_unique<SwitchesWindow>(
                m_host, m_changes, PortChoice{m_selected, m_bitrate, m_available});
        window->setExtraPorts({QStringLiteral("/dev/pts/9"), QStringLiteral("/dev/pts/8")});
        return window;
    });
    QTest::newRow("resolution dialog") << WindowMaker([]() -> std::unique_ptr<QWidget> {
        auto dialog = std::make_unique<Resolution>();
        dialog->setChannel(2);
        dialog->setXValue(1920);
        dialog->setYValue(1080);
        return dialog;
    });
}

void tst_AccessibleNames::everyFocusableObjectIsNamed()
{
    QFETCH(WindowMaker, make);

    std::unique_ptr<QWidget> window = make();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window.get()), unnamed);
    window->hide();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

QTEST_MAIN(tst_AccessibleNames)
#include "tst_accessiblenames.moc"
