#include "common/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

bool moveFileToTrash(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty() || !QDir().mkpath(base))
        return false;
    return QFile::moveToTrash(path);
}
