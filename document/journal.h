#pragma once

// Stand-in until the journal lands.
#include "document/configuration.h"

#include <QDateTime>
#include <QList>
#include <QString>

QString ovsDataFolder();

struct JournalEntry
{
    QDateTime time;
    QString source, action, port, model, outcome, reason, file, restorePoint, sha256;
};

class Journal
{
public:
    explicit Journal(const QString &path = defaultPath());
    static QString defaultPath();
    bool append(const JournalEntry &entry, QString *error = nullptr);
    QList<JournalEntry> entries(int *damaged = nullptr) const;
    static QString sha256Of(const Configuration &config);
    static QString modelName(int channelCount);

private:
    QString m_path;
};
