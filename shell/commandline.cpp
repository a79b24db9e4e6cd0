#include "shell/commandline.h"

#include <QFileInfo>

#include "common/boundedread.h"
#include "shell/filekind.h"

namespace {

bool isFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace

int openableFileKindOf(const QString &path)
{
    const int kind = fileKindOf(path);
    if (kind != FileKindUnknown)
        return kind;
    QByteArray head;
    if (readRegularFileHead(path, 2, head) != ReadFault::None)
        return FileKindUnknown;
    return head == QByteArrayView("\x35\x12") ? int(FileKindAddressBook) : int(FileKindUnknown);
}

CommandLineFile commandLineFile(const QStringList &arguments, const QStringList &unknownOptions)
{
    CommandLineFile out;
    out.ignored = unknownOptions;
    const QString joined = arguments.join(QLatin1Char(' '));
    if (arguments.size() <= 1 || isFile(joined)) {
        out.path = joined;
        return out;
    }
    for (const QString &arg : arguments) {
        if (out.path.isEmpty() && isFile(arg) && openableFileKindOf(arg) != FileKindUnknown)
            out.path = arg;
        else
            out.ignored << arg;
    }
    return out;
}
