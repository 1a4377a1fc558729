#include "app/documentstatus.h"
#include "document/documentchanges.h"

#include <QAccessible>
#include <QStatusBar>
#include <QTest>
#include <QTranslator>

// The status bar names the file the window shows, so Save cannot surprise the operator.
class tst_DocumentStatus : public QObject
{
    Q_OBJECT

private slots:
    void fileLabel_data();
    void fileLabel();
};

void tst_DocumentStatus::fileLabel_data()
{
    QTest::addColumn<QString>("fileName"); // saved under it; empty: no file
    QTest::addColumn<bool>("edited");      // a change after the save
    QTest::addColumn<bool>("german");
    QTest::addColumn<QString>("text");

    const QString rack = QStringLiteral("/srv/racks/rack4.ovs");
    QTest::newRow("no file") << QString() << false << false << "Untitled";
    QTest::newRow("no file, changed") << QString() << true << false << "Untitled (unsaved changes)";
    QTest::newRow("saved") << rack << false << false << "rack4.ovs";
    QTest::newRow("saved, changed") << rack << true << false << "rack4.ovs (unsaved changes)";
    QTest::newRow("no file, German") << QString() << false << true << "Unbenannt";
    QTest::newRow("saved, changed, German")
            << rack << true << true << "rack4.ovs (ungespeicherte Änderungen)";
}

void tst_DocumentStatus::fileLabel()
{
    QFETCH(QString, fileName);
    QFETCH(bool, edited);
    QFETCH(bool, german);
    QFETCH(QString, text);

    Document document;
    DocumentChanges changes(document);
    QStatusBar statusBar;
    DocumentStatus label(changes, statusBar);
    // Start from a file, so a wrong label cannot pass by standing still.
    changes.setFileName(QStringLiteral("/tmp/other.ovs"));
    changes.markSaved();

    changes.setFileName(fileName);
    changes.markSaved();
    if (edited) {
        Configuration after = document.currentConfig;
        after.mouseSpeed = 2;
        changes.apply(after, QStringLiteral("edit"));
    }
    QTranslator translator;
    if (german) {
        QVERIFY(translator.load(QStringLiteral(":/translations/OVSextra_de.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }

    QCOMPARE(label.text(), text);
    QCOMPARE(label.toolTip(), fileName);
    // A screen reader hears what the label is about, not only a bare name.
    QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(readout->text(QAccessible::Name).endsWith(text));
    QCOMPARE(readout->text(QAccessible::Description), fileName);
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(tst_DocumentStatus)
#include "tst_documentstatus.moc"
