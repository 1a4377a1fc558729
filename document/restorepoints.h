#pragma once

// Stand-in until the journal lands.
#include "document/configuration.h"

#include <QString>

class RestorePoints
{
public:
    explicit RestorePoints(const QString &folder = defaultFolder());
    static QString defaultFolder();
    QString save(const Configuration &config, const QString &port, QString *error = nullptr);

private:
    QString m_folder;
};
