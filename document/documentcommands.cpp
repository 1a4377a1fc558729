#include "documentcommands.h"

#include "app/corvanecfg.h"
#include "document/newconfig.h"
#include "document/ovsfile.h"
#include "document/printing.h"
#include "editor/rasterwidget.h"
#include "ui_corvanecfg.h"

#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

DocumentCommands::DocumentCommands(CorvaneCfg &window)
    : w(window)
{
}

void DocumentCommands::newConfiguration(bool atStartup)
{
    NewConfig dialog;
    dialog.setStartupMode(atStartup);
    if (!askToSave())
        return;

    Document &doc = w.m_document;
    dialog.setChannelCount(doc.currentConfig.channelCount);
    if (dialog.exec() == QDialog::Accepted) {
        doc.modified = false;
        doc.fileName.clear();
        doc.openFileName.clear();
        w.ui->action_Save->setEnabled(false);
        resetConfiguration(doc.currentConfig);
        doc.currentConfig.channelCount = dialog.channelCount();
        w.updateWindowTitle();
        w.syncSwitchingControls();
        w.rasterWidget()->rebuildFromConfig();
        w.ui->actionTransmit->setEnabled(true);
    } else if (atStartup) {
        // Without a model there is nothing to edit. The event loop is not running yet;
        // the close runs once it does, finds nothing modified and ends the program.
        CorvaneCfg *window = &w;
        QTimer::singleShot(1, window, [window] { window->close(); });
    }
}

bool DocumentCommands::askToSave()
{
    if (!w.m_document.modified)
        return true;

    QMessageBox &box = w.messageBox;
    box.setText(CorvaneCfg::tr("Do you want to save your changes?"));
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    const int answer = box.exec();
    // Every other message of the program has a single OK.
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);

    switch (answer) {
    case QMessageBox::Save:
        if (w.m_document.fileName.isEmpty()) {
            w.m_document.fileName = chooseFile(QFileDialog::AcceptSave);
            if (w.m_document.fileName.isEmpty())
                return false;
        }
        saveConfigFile();
        // After a failed save (its message has been shown) the command that asked would
        // throw the changes away: it stops, and the operator can save elsewhere.
        return !w.m_document.modified;
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
    w.m_document.openFileName = chooseFile(QFileDialog::AcceptOpen);
    if (w.m_document.openFileName.isEmpty())
        return;
    loadConfigFile();
}

void DocumentCommands::save()
{
    saveConfigFile();
}

void DocumentCommands::saveAs()
{
    const QString chosen = chooseFile(QFileDialog::AcceptSave);
    if (chosen.isEmpty())
        return;
    w.m_document.fileName = chosen;
    saveConfigFile();
}

void DocumentCommands::saveConfigFile()
{
    Document &doc = w.m_document;
    if (doc.fileName.isEmpty())
        return;

    w.setCursor(Qt::WaitCursor);
    if (!doc.fileName.contains(QLatin1String(".ovs")))
        doc.fileName += QLatin1String(".ovs");
    w.ui->action_Save->setEnabled(true);

    // The file is written to a temporary and renamed over the old one only when every
    // byte got to the disk, so a failed save leaves the old file as it was.
    if (writeOvsFile(doc.fileName, doc.currentConfig)) {
        doc.modified = false;
        showMessage(CorvaneCfg::tr("File saved!"));
    } else {
        showMessage(CorvaneCfg::tr("Could not save file!"));
    }
    w.unsetCursor();
}

void DocumentCommands::loadConfigFile()
{
    Document &doc = w.m_document;
    w.setCursor(Qt::WaitCursor);

    // The file is read into a copy; what it does not hold keeps the current values.
    doc.stagingConfig = doc.currentConfig;
    switch (readOvsFile(doc.openFileName, doc.stagingConfig)) {
    case OvsLoadResult::Loaded:
        doc.currentConfig = doc.stagingConfig;
        w.updateWindowTitle();
        w.syncSwitchingControls();
        w.rasterWidget()->rebuildFromConfig();
        doc.modified = false;
        doc.fileName = doc.openFileName;
        w.ui->action_Save->setEnabled(true);
        w.ui->actionTransmit->setEnabled(true);
        break;
    case OvsLoadResult::CouldNotOpen:
        showMessage(CorvaneCfg::tr("Could not open file!"));
        break;
    case OvsLoadResult::Corrupt:
        showMessage(CorvaneCfg::tr("File corrupt! Could not read the file!"));
        break;
    case OvsLoadResult::ChecksumError:
        showMessage(CorvaneCfg::tr("Checksum error while reading file!"));
        break;
    }
    w.unsetCursor();
}

void DocumentCommands::print()
{
    QPrinter printer(QPrinter::ScreenResolution);
    // Names the print job, and the PDF the dialog offers, after the configuration file.
    if (!w.m_document.fileName.isEmpty())
        printer.setDocName(QFileInfo(w.m_document.fileName).completeBaseName());
    QPrintDialog dialog(&printer, &w);
    dialog.setWindowTitle(CorvaneCfg::tr("Print configuration"));
    if (dialog.exec() != QDialog::Accepted)
        return;

    w.rasterWidget()->childLostFocus();
    printLayout(printer, w.m_document.currentConfig, w.m_editorState.cellWidth,
                w.m_editorState.cellHeight, w.m_document.fileName, w.ui->scrollArea->size());
}

QString DocumentCommands::chooseFile(QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(&w);
    dialog.setNameFilter(CorvaneCfg::tr("OVS file (*.ovs)"));
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

void DocumentCommands::showMessage(const QString &text)
{
    w.messageBox.setText(text);
    w.messageBox.exec();
}
