#include "document/datafolder.h"

#include <QStandardPaths>

QString ovsDataFolder()
{
    // AppLocalDataLocation names the folder after the running program, and corvanecfg
    // and ovsctl are two programs; the generic location plus one fixed name is the same
    // folder for both.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return QString();
    return base + QStringLiteral("/Orvanel Switching Config Tool");
}
