#include "common/profilefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    out.clear();
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    if (native.contains('\0'))
        return false;
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is
    // checked on the open descriptor, so a file swapped after a check made
    // by name cannot slip through.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    bool ok = false;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= maxSize) {
        // Read one byte more than allowed to notice a file that grew.
        QByteArray buf(qsizetype(st.st_size) + 1, Qt::Uninitialized);
        qsizetype got = 0;
        ok = true;
        while (got < buf.size()) {
            const ssize_t n = ::read(fd, buf.data() + got, size_t(buf.size() - got));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                ok = false;
                break;
            }
            if (n == 0)
                break;
            got += n;
            if (got > maxSize) {
                ok = false;
                break;
            }
        }
        if (ok) {
            buf.truncate(got);
            out = buf;
        }
    }
    ::close(fd);
    return ok;
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
