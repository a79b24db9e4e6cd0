#include "shell/recyclebin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

void moveToRecycleBin(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    // Without the user's data folder Qt reports success and leaves the file
    // in ./files of the current directory: make sure the folder exists.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return;
    QFile::moveToTrash(path);
}
