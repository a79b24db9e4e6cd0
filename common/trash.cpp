#include "common/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <sys/stat.h>

bool moveFileToTrash(const QString &path, QString *pathInTrash)
{
    struct stat st;
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0
        || !S_ISREG(st.st_mode))
        return false;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty() || !QDir().mkpath(base))
        return false;
    QFile file(path);
    if (!file.moveToTrash())
        return false;
    if (pathInTrash)
        *pathInTrash = file.fileName();
    return true;
}

bool restoreFromTrash(const QString &pathInTrash, const QString &path)
{
    if (std::rename(QFile::encodeName(pathInTrash).constData(), QFile::encodeName(path).constData())
        != 0)
        return false;
    // The trash keeps <trash>/files/NAME and its record <trash>/info/NAME.trashinfo.
    const QFileInfo moved(pathInTrash);
    QFile::remove(QFileInfo(moved.absolutePath()).absolutePath() + QStringLiteral("/info/")
                  + moved.fileName() + QStringLiteral(".trashinfo"));
    return true;
}
