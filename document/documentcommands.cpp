#include "documentcommands.h"

#include "document/commandhost.h"
#include "document/documentchanges.h"
#include "document/layoutwarnings.h"
#include "document/newconfig.h"
#include "document/ovsfile.h"
#include "document/printing.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

DocumentCommands::DocumentCommands(CommandHost &host, DocumentChanges &changes)
    : m_host(host)
    , m_changes(changes)
{
}

void DocumentCommands::newConfiguration(bool atStartup)
{
    NewConfig dialog;
    dialog.setStartupMode(atStartup);
    if (!askToSave())
        return;

    Document &doc = m_changes.document();
    dialog.setChannelCount(doc.currentConfig.channelCount);
    if (dialog.exec() == QDialog::Accepted) {
        m_changes.setFileName(QString());
        doc.openFileName.clear();
        m_host.setSaveEnabled(false);
        Configuration fresh = doc.currentConfig;
        resetConfiguration(fresh);
        fresh.channelCount = quint8(dialog.channelCount());
        // Unmodified, without history; the title, the switching controls, the canvas
        // and the list follow the announcement.
        m_changes.replaceAll(fresh);
        m_host.setTransmitEnabled(true);
    } else if (atStartup) {
        // Without a model there is nothing to edit. The event loop is not running yet;
        // the close runs once it does, finds nothing modified and ends the program.
        QPointer<QWidget> window = m_host.hostWindow();
        QTimer::singleShot(1, window, [window] {
            if (window)
                window->close();
        });
    }
}

bool DocumentCommands::askToSave()
{
    Document &doc = m_changes.document();
    if (!doc.modified)
        return true;

    const int answer = m_host.showMessage(
            QCoreApplication::translate("CorvaneCfg", "Do you want to save your changes?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);

    switch (answer) {
    case QMessageBox::Save:
        if (doc.fileName.isEmpty()) {
            m_changes.setFileName(chooseFile(QFileDialog::AcceptSave));
            if (doc.fileName.isEmpty())
                return false;
        }
        saveConfigFile();
        // After a failed save (its message has been shown) the command that asked would
        // throw the changes away: it stops, and the operator can save elsewhere.
        return !doc.modified;
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void DocumentCommands::open()
{
    if (!askToSave())
        return;
    Document &doc = m_changes.document();
    doc.openFileName = chooseFile(QFileDialog::AcceptOpen);
    if (doc.openFileName.isEmpty())
        return;
    loadConfigFile();
}

void DocumentCommands::save()
{
    // Save is enabled without a file name only after a readout took the document away
    // from its file: the switch's configuration gets a name of its own.
    if (m_changes.document().fileName.isEmpty())
        saveAs();
    else
        saveConfigFile();
}

void DocumentCommands::saveAs()
{
    const QString chosen = chooseFile(QFileDialog::AcceptSave);
    if (chosen.isEmpty())
        return;
    m_changes.setFileName(chosen);
    saveConfigFile();
}

void DocumentCommands::saveConfigFile()
{
    Document &doc = m_changes.document();
    if (doc.fileName.isEmpty())
        return;

    m_host.setBusy(true);
    if (!doc.fileName.contains(QLatin1String(".ovs")))
        m_changes.setFileName(doc.fileName + QLatin1String(".ovs"));
    m_host.setSaveEnabled(true);

    // The file is written to a temporary and renamed over the old one only when every
    // byte got to the disk, so a failed save leaves the old file as it was.
    if (writeOvsFile(doc.fileName, doc.currentConfig)) {
        m_changes.markSaved();
        m_host.showMessage(QCoreApplication::translate("CorvaneCfg", "File saved!"));
    } else {
        m_host.showMessage(QCoreApplication::translate("CorvaneCfg", "Could not save file!"));
    }
    m_host.setBusy(false);
}

bool DocumentCommands::openFile(const QString &path, QString *deferredProblems)
{
    m_changes.document().openFileName = path;
    return loadConfigFile(deferredProblems);
}

void DocumentCommands::openDroppedFile(const QString &path)
{
    if (askToSave())
        openFile(path);
}

bool DocumentCommands::loadConfigFile(QString *deferredProblems)
{
    Document &doc = m_changes.document();
    m_host.setBusy(true);

    // The file is read into a copy; what it does not hold keeps the current values. The
    // copy is a local one: the link may be filling the staging record at this moment.
    Configuration loaded = doc.currentConfig;
    switch (readOvsFile(doc.openFileName, loaded)) {
    case OvsLoadResult::Loaded:
        m_changes.setFileName(doc.openFileName);
        // Unmodified, without history; the title, the switching controls, the canvas
        // and the list follow the announcement.
        m_changes.replaceAll(loaded);
        m_host.setSaveEnabled(true);
        m_host.setTransmitEnabled(true);
        m_host.setBusy(false);
        // A file can describe what the editor would never make; the operator hears of
        // it once, right away unless the caller takes the message to show it later.
        if (const QString problems = layoutProblemsMessage(loaded); deferredProblems)
            *deferredProblems = problems;
        else if (!problems.isEmpty())
            m_host.showMessage(problems);
        return true;
    case OvsLoadResult::CouldNotOpen:
        m_host.showMessage(QCoreApplication::translate("CorvaneCfg", "Could not open file!"));
        break;
    case OvsLoadResult::Corrupt:
        m_host.showMessage(QCoreApplication::translate("CorvaneCfg",
                                                       "File corrupt! Could not read the file!"));
        break;
    case OvsLoadResult::ChecksumError:
        m_host.showMessage(
                QCoreApplication::translate("CorvaneCfg", "Checksum error while reading file!"));
        break;
    }
    m_host.setBusy(false);
    return false;
}

void DocumentCommands::print()
{
    const Document &doc = m_changes.document();
    QPrinter printer(QPrinter::ScreenResolution);
    // Names the print job, and the PDF the dialog offers, after the configuration file.
    if (!doc.fileName.isEmpty())
        printer.setDocName(QFileInfo(doc.fileName).completeBaseName());
    QPrintDialog dialog(&printer, m_host.hostWindow());
    dialog.setWindowTitle(QCoreApplication::translate("CorvaneCfg", "Print configuration"));
    if (dialog.exec() != QDialog::Accepted)
        return;

    const CommandHost::PrintArea area = m_host.preparePrintArea();
    printLayout(printer, doc.currentConfig, area.cellWidth, area.cellHeight, doc.fileName,
                area.viewport);
}

QString DocumentCommands::chooseFile(QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(m_host.hostWindow());
    dialog.setNameFilter(QCoreApplication::translate("CorvaneCfg", "OVS file (*.ovs)"));
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // "plan" is saved as plan.ovs: with the suffix known here, the dialog asks before
        // it lets that file be replaced.
        dialog.setDefaultSuffix(QStringLiteral("ovs"));
    }
    dialog.setMinimumSize(dialog.size());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}
