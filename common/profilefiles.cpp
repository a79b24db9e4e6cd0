#include "common/profilefiles.h"

#include <QDir>
#include <QFileInfo>

#include "common/boundedread.h"
#include "common/cp932.h"
#include "common/paths.h"

bool isSinglePathComponent(QStringView name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (const QChar c : name)
        if (c == u'/' || c == QChar(0))
            return false;
    return true;
}

QString findEntryIgnoringCase(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || !isSinglePathComponent(name))
        return QString();
    const QString exact = withSlash(folder) + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QDir dir(folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return withSlash(folder) + e;
    return QString();
}

QString profileFolderOf(const QString &sharedLogFolder)
{
    if (sharedLogFolder.isEmpty() || !isFolder(sharedLogFolder))
        return QString();
    const QString folder =
        findEntryIgnoringCase(sharedLogFolder, QString::fromUtf16(ProfileFolderName));
    return !folder.isEmpty() && isFolder(folder) ? folder : QString();
}

bool readSmallRegularFile(const QString &path, QByteArray &out, qint64 maxSize)
{
    return readRegularFile(path, maxSize, out) == ReadFault::None;
}

bool readProfileFile(const QString &path, QString &text)
{
    QByteArray bytes;
    if (!readSmallRegularFile(path, bytes))
        return false;
    text = cp932::decode(bytes);
    return true;
}

QString wineDriveZPath(const QString &localPath)
{
    if (!localPath.startsWith(u'/'))
        return QString();
    QString p = QDir::cleanPath(localPath);
    p.replace(u'/', u'\\');
    return QStringLiteral("Z:") + p;
}
