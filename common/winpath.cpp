#include "common/winpath.h"
#include "common/textwidth.h"

#include <algorithm>

namespace {


bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

// Length of the drive or share prefix.
qsizetype prefixLength(QStringView path)
{
    if (path.startsWith(u"\\\\")) {
        // \\server\share: up to the second "\" after the leading pair.
        const qsizetype serverEnd = path.indexOf(u'\\', 2);
        if (serverEnd < 0)
            return path.size();
        const qsizetype shareEnd = path.indexOf(u'\\', serverEnd + 1);
        return shareEnd < 0 ? path.size() : shareEnd;
    }
    if (path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == u':')
        return 2;
    return 0;
}

} // namespace

QString winDriveOf(QStringView path)
{
    return path.left(prefixLength(path)).toString();
}

QString winFolderOf(QStringView path)
{
    const qsizetype prefix = prefixLength(path);
    if (prefix == 0)
        return {};
    const QStringView rest = path.mid(prefix);
    const qsizetype last = rest.lastIndexOf(u'\\');
    if (last < 0)
        return path.left(prefix).toString();
    // "C:\file": the prefix and its "\"; otherwise up to the last "\".
    return path.left(prefix + (last == 0 ? 1 : last)).toString();
}

QString winFileNameOf(QStringView path)
{
    const qsizetype prefix = prefixLength(path);
    const QStringView rest = path.mid(prefix);
    return rest.mid(rest.lastIndexOf(u'\\') + 1).toString();
}

QString winExtensionOf(QStringView path)
{
    const qsizetype sep = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u':'));
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > sep ? path.mid(dot + 1).toString() : QString();
}

QString winWithSlash(QStringView folder)
{
    QString s = trimSpaces(folder).toString();
    if (!s.isEmpty() && !s.endsWith(u'\\'))
        s += u'\\';
    return s;
}

QString winWithoutSlash(QStringView folder)
{
    QStringView s = trimSpaces(folder);
    if (s.size() > 1 && s.endsWith(u'\\') && !s.endsWith(u":\\"))
        s.chop(1);
    return s.toString();
}
