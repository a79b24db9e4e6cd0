#include "shell/recyclebin.h"

#include <QFileInfo>

#include "formats/fileprocs.h"

void moveToRecycleBin(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    moveFileToTrash(path); // errors ignored: the caller overwrites the file anyway
}
