#pragma once

#include "document/configuration.h"
#include "document/datafolder.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

// One exchange with a switch, or one file it involved, as the journal keeps it. Every
// field but the time is text and may be empty.
struct JournalEntry
{
    QDateTime time;
    QString source;       // "window" or "ovsctl"
    QString action;       // "read", "write", "verify", "backup", "restore" or "go-back"
    QString port;         // as given
    QString model;        // "Vorrix 8"
    QString outcome;      // "ok" or "failed"
    QString reason;       // empty when ok
    QString file;         // the .ovs file involved
    QString restorePoint; // writes: the restore point taken before
    QString sha256;       // of the configuration's .ovs bytes

    bool operator==(const JournalEntry &o) const;
};

// What reading the journal gave: its entries and what stood in the way.
struct JournalReading
{
    QList<JournalEntry> entries; // oldest first
    int damaged = 0;             // lines that are no entry, torn or edited
    // A file of the journal was larger than Journal::kLargestReadBytes: only its newest
    // entries were read.
    bool olderSkipped = false;
    // A file of the journal, or its folder, is there but could not be read, and why.
    QString error;
    // Read without the lock file, and why; the entries are there all the same.
    QString unlocked;
};

// The journal of every exchange, shared by the window and any number of ovsctl
// processes: one JSON object per line. Each entry is written with one write() while a
// lock file is held, so no entry is lost or torn when several programs append at once.
// A file grown past maxBytes() is renamed to PATH.1 (replacing the one before) under the
// same lock, so the journal keeps at most about twice that many bytes, the newest ones.
// Its files, the lock file and the folder are looked at before they are opened: anything
// but a file (a folder, a FIFO, a link in place of the lock) is refused at once, since
// opening a FIFO blocks for ever.
class Journal
{
public:
    static constexpr qint64 kDefaultMaxBytes = 1024 * 1024;
    // Of each file only the newest this many bytes are read.
    static constexpr qint64 kLargestReadBytes = 64 * 1024 * 1024;

    explicit Journal(const QString &path = defaultPath());
    // journal.jsonl in ovsDataFolder(); empty when there is no such folder.
    static QString defaultPath();
    QString path() const { return m_path; }

    qint64 maxBytes() const { return m_maxBytes; }
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }

    // Adds the entry as one whole line of its own, or nothing at all; false with `error`
    // set when it could not be added. An entry without a valid time gets the time it is
    // added at; its paths get the system's separators. Creates the folder when needed.
    bool append(const JournalEntry &entry, QString *error = nullptr);
    // Every entry, oldest first (the rotated file before the current one). Lines that
    // are no entry, torn or edited, are skipped and counted. No journal yet is no error.
    // Waits a few seconds at most for the lock, and reads without it when it cannot be
    // had.
    JournalReading read() const;
    // read()'s entries.
    QList<JournalEntry> entries(int *damaged = nullptr) const;

    // The entry as a JSON object with exactly the ten fields, `time` in ISO 8601 with
    // milliseconds and the offset from UTC.
    static QJsonObject toJson(const JournalEntry &entry);
    // False when the object lacks a field, holds one that is not text, or its time
    // cannot be read.
    static bool fromJson(const QJsonObject &object, JournalEntry &entry);
    // Hex SHA-256 of the configuration's .ovs bytes.
    static QString sha256Of(const Configuration &config);
    // "Vorrix 8"
    static QString modelName(int channelCount);
    // The entry of one exchange, to be stamped as it is added: `config` (may be null)
    // gives the model and the checksum; `reason` is kept for a failure only, in one line;
    // a file is named by its whole path, as the journal is read from anywhere.
    static JournalEntry exchangeEntry(const QString &source, const QString &action,
                                      const QString &port, bool ok, const QString &reason,
                                      const QString &file, const Configuration *config,
                                      const QString &restorePoint = QString());

private:
    QString m_path;
    qint64 m_maxBytes = kDefaultMaxBytes;
};
