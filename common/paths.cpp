#include "common/paths.h"
#include "common/textwidth.h"
#include "common/boundedread.h"

#include <new>

#include <QFile>
#include <QFileInfo>

#include "common/cp932.h"
#include "common/safesave.h"

namespace {


} // namespace

QString driveOf(QStringView path)
{
    return path.startsWith(u'/') ? QStringLiteral("/") : QString();
}

QString folderOf(QStringView path)
{
    if (!path.startsWith(u'/'))
        return {};
    const qsizetype last = path.lastIndexOf(u'/');
    return last == 0 ? QStringLiteral("/") : path.left(last).toString();
}

QString fileNameOf(QStringView path)
{
    return path.mid(path.lastIndexOf(u'/') + 1).toString();
}

QString extensionOf(QStringView path)
{
    const QStringView name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toString();
}

QString withSlash(QStringView folder)
{
    QString s = trimSpaces(folder).toString();
    if (!s.isEmpty() && !s.endsWith(u'/'))
        s += u'/';
    return s;
}

QString withoutSlash(QStringView folder)
{
    QStringView s = trimSpaces(folder);
    if (s.size() > 1 && s.endsWith(u'/'))
        s.chop(1);
    return s.toString();
}

QString canonicalPath(const QString &path, PathKind kind)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if ((kind == PathKind::Folder && !info.isDir()) || (kind == PathKind::File && info.isDir()))
        return {};
    return info.canonicalFilePath();
}

bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool isFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString readTextFile(const QString &path, const QString &defaultText, qint64 maxBytes)
{
    QByteArray bytes;
    if (readRegularFile(path, maxBytes, bytes) != ReadFault::None)
        return defaultText;
    try {
        return cp932::decode(bytes);
    } catch (const std::bad_alloc &) {
        return defaultText;
    }
}

qint64 writeTextFile(const QString &path, QStringView text, bool trashOld)
{
    if (path.isEmpty())
        return -1;
    const QByteArray bytes = cp932::encode(text);
    SafeSaveOptions options;
    options.trashOld = trashOld;
    return saveFileSafely(path, bytes, options) == 0 ? bytes.size() : -1;
}
