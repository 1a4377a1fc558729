#pragma once

#include "app/keepdialog.h"
#include "document/configuration.h"
#include "document/restorepoints.h"
#include "link/link.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTime>

class CommandHost;
class DeviceSequence;
class DocumentChanges;
class DocumentCommands;
class QAction;
class QMenu;
class QMessageBox;
struct PortDescription;

// The window's way back from a transmission. Before "Set device configuration" writes
// anything, the switch's present configuration is kept as a restore point; after a
// successful transmission the operator is asked to keep the new one, and going back
// (asked for, the question closed, or no answer in time) sends the restore point back,
// but only into a switch that still holds what was sent. A transmission that failed
// after writing part of it offers the way back at once. Every exchange goes into the
// journal once the switch is released, and Action → History… works on its entries.
class WayBack : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        CommandHost &host;
        DocumentChanges &changes;
        DocumentCommands &commands;
        DeviceSequence &sequence;
        const PortDescription &port;
        QMessageBox &messageBox;
        QMenu &actionMenu;
    };

    explicit WayBack(Parts parts, QObject *parent = nullptr);
    ~WayBack() override;

    void retranslate();
    // The keep question while it is open.
    KeepDialog *keepDialog() const { return m_keep; }
    // A question of the way back is open, or going back is yet to start.
    bool busy() const { return m_keep || m_backPending; }

private:
    bool saveRestorePoint(const Configuration &previous, QString *why);
    void exchangeBegan();
    void exchangeEnded();
    // The file the exchange under way sends or compares with, as the journal names it.
    QString exchangeFile() const;
    void journal();
    // Keeps what the switch holds after the exchange that just succeeded (LastKnown).
    bool rememberHeld(bool failed, QString *error) const;
    void ask();
    void answered(KeepDialog::Answer answer);
    // After a transmission that failed once something of it reached the switch.
    void offerWayBack();
    void goBack(Link::RestorePointHook check);
    void showHistory();
    void openAsNew(const Configuration &config);
    void compare(const Configuration &config);

    Parts m;
    QAction *m_history = nullptr;
    QPointer<KeepDialog> m_keep;
    RestorePoints m_restorePoints;
    // The exchange under way: its restore point, when one was saved, what the switch held
    // before it, and the file it involves.
    QString m_restorePoint;
    QTime m_restorePointTime;
    Configuration m_previous;
    QString m_file;
    // What going back sends, where it comes from, what it undoes and why.
    Configuration m_back;
    QString m_backFile;
    Configuration m_sent;
    QString m_sentPort;
    QTime m_sentTime;
    QString m_backReason;
    bool m_backPending = false;
    // A configuration from the history on its way to the switch, and its file.
    QString m_historyFile;
    QString m_historySha;
};
