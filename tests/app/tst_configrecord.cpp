#include "app/recordexport.h"
#include "document/commandhost.h"
#include "document/documentchanges.h"
#include "document/ovsfile.h"
#include "link/exchangereport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <sys/stat.h>

namespace {

// Eight screens, two of them not placed, each with its own resolution.
Configuration eightScreens(bool switching)
{
    Configuration c;
    c.channelCount = 8;
    c.switchingEnabled = switching ? 1 : 0;
    c.mouseSpeed = 7;
    for (int i = 0; i < 6; ++i)
        c.channels[i] = ChannelEntry{1,
                                     quint8(4 * (i % 3)),
                                     quint8(3 * (i / 3)),
                                     quint8(4 * (i % 3) + 4),
                                     quint8(3 * (i / 3) + 3),
                                     quint16(1280 + 64 * i),
                                     quint16(720 + 8 * i)};
    c.channels[6] = ChannelEntry{0, 0, 0, 0, 0, 3840, 2160};
    c.channels[7] = ChannelEntry{0, 0, 0, 0, 0, 1600, 900};
    return c;
}

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr,
            QString *err = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        p.kill();
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    if (err)
        *err = QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

class Host : public CommandHost
{
public:
    QWidget window;
    QStringList messages;
    QWidget *hostWindow() override { return &window; }
    int showMessage(const QString &text, QMessageBox::StandardButtons,
                    QMessageBox::StandardButton) override
    {
        messages << text;
        return QMessageBox::Ok;
    }
    void setBusy(bool) override {}
    void setSaveEnabled(bool) override {}
    void setTransmitEnabled(bool) override {}
    PrintArea preparePrintArea() override { return {46, 46, QSize(800, 600)}; }
};

} // namespace

class tst_ConfigRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ovsctlRecord_data();
    void ovsctlRecord();
    void windowRecord_data();
    void windowRecord();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void tst_ConfigRecord::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("poppler-utils (pdftotext, pdftoppm) are not installed");
}

void tst_ConfigRecord::ovsctlRecord_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("text"); // patterns the PDF's text holds
    QTest::addColumn<QString>("absent");   // a pattern it must not hold

    const QByteArray on = encodeOvs(eightScreens(true));
    QByteArray badCrc = on;
    badCrc[7] = char(badCrc.at(7) ^ 1);
    QStringList resolutions;
    for (const ChannelEntry &e : eightScreens(true).channels)
        resolutions << QStringLiteral("%1 X %2").arg(e.resolutionX).arg(e.resolutionY);
    const QStringList common
            = resolutions
              + QStringList{"Vorrix 8", "Pointer speed +7", "lab\\.ovs", "Channel 8 +no"};
    // Channel 1 is the top left of a grid of 3 by 2 screens.
    QTest::newRow("switching on")
            << on << "out.pdf" << 0 << QString()
            << common
                       + QStringList{"Orvanel Switching +on",
                                     "Channel 1 .*Channel 2 on the right, rows 1–3; Channel 4 "
                                     "below, columns 1–4"}
            << QString();
    // Without switching the pointer crosses nowhere.
    QTest::newRow("switching off")
            << encodeOvs(eightScreens(false)) << "out.pdf" << 0 << QString()
            << common + QStringList{"Orvanel Switching +off"} << "on the (right|left)|above|below";
    // Failures write nothing: the old PDF and the FIFO stay as they were.
    QTest::newRow("damaged file") << badCrc << "out.pdf" << 3
                                  << "Checksum error while reading file!" << QStringList()
                                  << QString();
    QTest::newRow("not an .ovs file")
            << QByteArray("%PDF-1.4") << "out.pdf" << 3 << "File corrupt! Could not read the file!"
            << QStringList() << QString();
    QTest::newRow("a FIFO to read") << QByteArray() << "out.pdf" << 3 << "Could not open file!"
                                    << QStringList() << QString();
    QTest::newRow("over a FIFO") << on << "fifo" << 3 << "Could not save file!" << QStringList()
                                 << QString();
}

// What a script gets: the record's text, a drawn first page, and on failure the file
// error and no PDF.
void tst_ConfigRecord::ovsctlRecord()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QStringList, text);
    QFETCH(QString, absent);

    const QString fifo = path(QStringLiteral("fifo"));
    QFile::remove(fifo);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString in = input.isEmpty() ? fifo : path(QStringLiteral("lab.ovs"));
    if (!input.isEmpty()) {
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(input) == input.size());
    }
    const QString pdf = path(QStringLiteral("out.pdf"));
    const QByteArray old("old record");
    {
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files | QDir::System);

    int code = -1;
    QString err;
    run(QStringLiteral(OVSCTL_PATH), {"record", in, "--output", path(output)}, &code, &err);
    QCOMPARE(code, exitCode);
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::System), before);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    if (exitCode != 0) {
        QCOMPARE(f.readAll(), old);
        return;
    }
    QVERIFY(f.readAll().startsWith("%PDF"));
    const QString got = pdfText(pdf);
    for (const QString &pattern : text)
        QVERIFY2(got.contains(QRegularExpression(pattern)), qPrintable(pattern + "\n" + got));
    if (!absent.isEmpty())
        QVERIFY2(!got.contains(QRegularExpression(absent)), qPrintable(got));

    // The first page carries the tiles as the printed page fills them.
    run(QStringLiteral("pdftoppm"), {"-f", "1", "-l", "1", "-r", "24", "-png", "-singlefile", pdf,
                                     path(QStringLiteral("page"))});
    const QImage page(path(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    int grey = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x)
            grey += qGray(page.pixel(x, y)) > 200 && qGray(page.pixel(x, y)) < 235;
    }
    QVERIFY2(grey > page.width() * page.height() / 10, qPrintable(QString::number(grey)));
}

void tst_ConfigRecord::windowRecord_data()
{
    QTest::addColumn<QString>("exchange"); // none, sent, same, differs, edited
    QTest::addColumn<bool>("german");
    QTest::addColumn<QStringList>("text");

    QTest::newRow("no exchange") << "none" << false
                                 << QStringList{"Last exchange with a switch\\s+none"};
    QTest::newRow("sent, not verified")
            << "sent" << false
            << QStringList{"Port +ttyS7", "Sent Vorrix 8 to ttyS7", "Verified +no"};
    QTest::newRow("verified") << "same" << false
                              << QStringList{"Verified +yes: the switch holds this configuration"};
    QTest::newRow("verified, found different")
            << "differs" << false
            << QStringList{"Verified +yes: the switch held a different configuration"};
    QTest::newRow("verified, edited since")
            << "edited" << false
            << QStringList{"Verified +yes, but the configuration has been changed since"};
    QTest::newRow("German") << "same" << true
                            << QStringList{"Konfigurationsprotokoll", "Mausgeschwindigkeit +7",
                                           "Kanal 1", "Geprüft +ja: der Switch enthält"};
}

// The window's record adds the last exchange, and speaks the interface language.
void tst_ConfigRecord::windowRecord()
{
    QFETCH(QString, exchange);
    QFETCH(bool, german);
    QFETCH(QStringList, text);

    QTranslator translator;
    if (german) {
        QVERIFY(translator.load(QStringLiteral("OVSextra_de"), QStringLiteral(":/translations")));
        QCoreApplication::installTranslator(&translator);
    }
    Host host;
    Document doc;
    doc.currentConfig = eightScreens(true);
    DocumentChanges changes(doc);
    ExchangeReport report;
    QMenu menu;
    QAction print;
    menu.addAction(&print);
    RecordExport recordExport(host, changes, report, menu, print);

    Configuration other = doc.currentConfig;
    other.mouseSpeed = 3;
    if (exchange == "sent") {
        report.begin(ExchangeReport::Action::Transmit, QStringLiteral("ttyS7"));
        report.transmitted(doc.currentConfig);
    } else if (exchange != "none") {
        report.begin(ExchangeReport::Action::Verify, QStringLiteral("ttyS7"));
        report.verified(doc.currentConfig, exchange == "differs" ? other : doc.currentConfig);
        if (exchange == "edited")
            changes.apply(other, QString());
    }

    const QString pdf = path(QStringLiteral("window.pdf"));
    QVERIFY(recordExport.exportTo(pdf));
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(host.messages.isEmpty());
    const QString got = pdfText(pdf);
    for (const QString &pattern : text)
        QVERIFY2(got.contains(QRegularExpression(pattern)), qPrintable(pattern + "\n" + got));
}

QTEST_MAIN(tst_ConfigRecord)
#include "tst_configrecord.moc"
