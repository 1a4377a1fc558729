#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

// One message of a Linguist source: the key the translator looks it up by.
struct Message
{
    QString context;
    QString source;
    QString comment;
    QString translation;
};

QList<Message> readTs(const QString &path, QString *error)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("context")) {
            context.clear();
        } else if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            current = Message{context, {}, {}, {}};
        } else if (name == QLatin1String("source")) {
            current.source = xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            current.comment = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            // Obsolete and vanished entries are not compiled, so they do not count.
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (type != QLatin1String("obsolete") && type != QLatin1String("vanished"))
                messages.append(current);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QString catalogueSource(const char *name)
{
    return QStringLiteral(OVS_SOURCE_DIR "/resources/") + QLatin1String(name)
           + QStringLiteral(".ts");
}

QString keyOf(const Message &m)
{
    return m.context + QChar(0) + m.source + QChar(0) + m.comment;
}

} // namespace

// The German catalogues as they are compiled into the program.
class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void contextCounts();
    void everyMessageCompiled_data();
    void everyMessageCompiled();
    void commentFallback_data();
    void commentFallback();
    void toolkitCatalogue_data();
    void toolkitCatalogue();
    void everyTranslatableTextCovered();

private:
    // The original catalogue, and the one for texts added since.
    QList<Message> m_messages;
    QList<Message> m_extra;
    QTranslator m_app;
    QTranslator m_appExtra;
};

void tst_Catalogue::initTestCase()
{
    QString error;
    m_messages = readTs(catalogueSource("VIVUVE_de"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_extra = readTs(catalogueSource("OVSextra_de"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Loading from the resource proves the .qm was linked into an executable that only
    // links the static widgets library.
    QVERIFY(QFile::exists(QStringLiteral(":/translations/VIVUVE_de.qm")));
    QVERIFY(m_app.load(QStringLiteral("VIVUVE_de"), QStringLiteral(":/translations")));
    QVERIFY(m_appExtra.load(QStringLiteral("OVSextra_de"), QStringLiteral(":/translations")));
}

void tst_Catalogue::contextCounts()
{
    QMap<QString, int> counts;
    QSet<QString> keys;
    for (const Message &m : std::as_const(m_messages)) {
        ++counts[m.context];
        QVERIFY2(!keys.contains(keyOf(m)), qPrintable("duplicate: " + m.context + " / " + m.source));
        keys.insert(keyOf(m));
    }
    const QMap<QString, int> expected{
            {"About", 6},        {"CorvaneCfg", 50},  {"ListModel", 1},  {"MausSpeed", 5},
            {"MyTableModel", 2}, {"NewConfig", 7},    {"QObject", 1},    {"Resolution", 6},
            {"comPort", 11},     {"configwidget", 8}, {"myListView", 2},
    };
    QCOMPARE(counts, expected);
    QCOMPARE(m_messages.size(), 99);

    // A text added later lives in the second catalogue only; one in both would make the
    // translation depend on the order the translators were installed in.
    for (const Message &m : std::as_const(m_extra)) {
        QVERIFY2(!keys.contains(keyOf(m)), qPrintable("in both: " + m.context + " / " + m.source));
        keys.insert(keyOf(m));
    }
}

void tst_Catalogue::everyMessageCompiled_data()
{
    QTest::addColumn<bool>("extra");
    QTest::newRow("VIVUVE_de") << false;
    QTest::newRow("OVSextra_de") << true;
}

// lrelease silently drops unfinished or empty translations; every message of the
// source must come out of the compiled catalogue exactly as written.
void tst_Catalogue::everyMessageCompiled()
{
    QFETCH(bool, extra);
    const QTranslator &translator = extra ? m_appExtra : m_app;
    for (const Message &m : std::as_const(extra ? m_extra : m_messages)) {
        const QString got
                = translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                                  m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData());
        QVERIFY2(!m.translation.isEmpty(), qPrintable(m.context + " / " + m.source));
        QCOMPARE(got, m.translation);
    }
}

void tst_Catalogue::commentFallback_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("comment");
    QTest::addColumn<QString>("german");

    // The dialogs' forms carry comments that only the entry without comment answers.
    QTest::newRow("comment falls back, mouse speed")
            << QByteArray("MausSpeed") << QByteArray("slow") << QByteArray("Slow")
            << QString("langsam");
    QTest::newRow("comment falls back, resolution title")
            << QByteArray("Resolution") << QByteArray("Set Resolution")
            << QByteArray("SetResolution") << QString::fromUtf8("Setzen der Auflösung");
    QTest::newRow("unknown text is not translated")
            << QByteArray("CorvaneCfg") << QByteArray("Not in the catalogue") << QByteArray()
            << QString();
}

void tst_Catalogue::commentFallback()
{
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, comment);
    QFETCH(QString, german);

    QCOMPARE(m_app.translate(context.constData(), source.constData(),
                             comment.isEmpty() ? nullptr : comment.constData()),
             german);
}

void tst_Catalogue::toolkitCatalogue_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("german");

    QTest::newRow("message box button")
            << QByteArray("QPlatformTheme") << QByteArray("Cancel") << QString("Abbrechen");
    QTest::newRow("file dialog") << QByteArray("QFileDialog") << QByteArray("&Open")
                                 << QString::fromUtf8("&Öffnen");
    QTest::newRow("print dialog") << QByteArray("QPrintDialog") << QByteArray("Print")
                                  << QString("Drucken");
    QTest::newRow("serial port") << QByteArray("QSerialPort") << QByteArray("No error")
                                 << QString("Kein Fehler");
}

// Debian's own qt_de.qm only names its siblings; ours must carry the texts itself.
void tst_Catalogue::toolkitCatalogue()
{
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    QFETCH(QString, german);

    QTranslator qt;
    QVERIFY(qt.load(QStringLiteral("qt_de"), QStringLiteral(":/translations")));
    QCOMPARE(qt.translate(context.constData(), source.constData()), german);
}

// Every text the program hands to the translation function, in code and forms, has a
// German entry. An entry with a comment is satisfied by the same text without comment.
void tst_Catalogue::everyTranslatableTextCovered()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString extracted = dir.filePath(QStringLiteral("extracted.ts"));
    const QString root = QStringLiteral(OVS_SOURCE_DIR);
    QStringList args;
    for (const char *sub : {"app", "document", "link", "editor", "forms"})
        args << root + QLatin1Char('/') + QLatin1String(sub);
    args << QStringLiteral("-extensions") << QStringLiteral("cpp,h,ui")
         << QStringLiteral("-locations") << QStringLiteral("none") << QStringLiteral("-silent")
         << QStringLiteral("-ts") << extracted;

    QProcess lupdate;
    lupdate.start(QStringLiteral(OVS_LUPDATE), args);
    QVERIFY(lupdate.waitForFinished(120000));
    const QByteArray warnings = lupdate.readAllStandardError();
    QVERIFY2(lupdate.exitCode() == 0, warnings.constData());
    // Texts that lupdate cannot attribute to a context escape this check; say so.
    if (!warnings.trimmed().isEmpty())
        qWarning("lupdate: %s", warnings.trimmed().constData());

    QString error;
    const QList<Message> used = readTs(extracted, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!used.isEmpty());

    QSet<QString> catalogue;
    for (const Message &m : m_messages + m_extra)
        catalogue.insert(keyOf(m));

    QStringList missing;
    for (const Message &m : used) {
        const QString exact = keyOf(m);
        const QString plain = m.context + QChar(0) + m.source + QChar(0);
        if (!catalogue.contains(exact) && !catalogue.contains(plain)) {
            missing << QStringLiteral("%1: \"%2\"%3")
                               .arg(m.context, m.source,
                                    m.comment.isEmpty() ? QString() : " (" + m.comment + ")");
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable("no German text for:\n" + missing.join('\n')));
}

QTEST_GUILESS_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
