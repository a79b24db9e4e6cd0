#include "common/safesave.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

#include "common/trash.h"

namespace {

constexpr int MaxLinkHops = 40; // as the kernel's own limit
constexpr const char *AccessAcl = "system.posix_acl_access";

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// The folder part of an absolute path, without cleaning it: ".." after a
// linked folder must keep its meaning for the kernel.
QString folderOf(const QString &absolute)
{
    const qsizetype slash = absolute.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : absolute.left(slash);
}

// The path with the symbolic links of its last component followed; empty
// when they loop (or go on too long).
QString followLinks(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat st;
        if (::lstat(native(current).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(native(current).constData(), target.data(), target.size());
        if (n <= 0 || n >= target.size())
            return QString();
        target.truncate(n);
        const QString next = QFile::decodeName(target);
        current = next.startsWith(u'/') ? next : folderOf(current) + u'/' + next;
    }
    return QString();
}

// Whether we may change the file or folder. The superuser passes every
// access check, so for them only the permission bits count.
bool mayWrite(const QByteArray &path, const struct stat &st)
{
    if (::geteuid() == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0;
}

// A temporary file beside the target, removed again unless it was renamed
// into place.
class TempFile
{
public:
    TempFile() = default;
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile()
    {
        closeFile();
        if (!m_path.isEmpty())
            ::unlink(m_path.constData());
    }

    // Creates ".NAME.XXXXXX" in folder with mode (before the umask and the
    // folder's default ACL). False with errno set when that fails.
    bool create(const QString &folder, const QString &name, mode_t mode)
    {
        // Room for the dot and the suffix within the longest file name.
        QByteArray base = native(name).left(NAME_MAX - 16);
        static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QByteArray suffix(6, '\0');
            for (char &c : suffix)
                c = Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
            const QByteArray path = native(folder) + "/." + base + '.' + suffix;
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) {
                m_fd = fd;
                m_path = path;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        errno = EEXIST;
        return false;
    }

    int fd() const { return m_fd; }
    const QByteArray &path() const { return m_path; }

    bool writeAll(const char *data, qsizetype size)
    {
        while (size > 0) {
            const ssize_t n = ::write(m_fd, data, size_t(size));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            data += n;
            size -= n;
        }
        return true;
    }

    bool closeFile()
    {
        if (m_fd < 0)
            return true;
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 || errno == EINTR;
    }

    // The file now lives under another name: nothing to remove.
    void release() { m_path.clear(); }

private:
    int m_fd = -1;
    QByteArray m_path;
};

std::optional<QByteArray> getAttribute(const QByteArray &path, const char *name)
{
    const ssize_t size = ::getxattr(path.constData(), name, nullptr, 0);
    if (size < 0)
        return std::nullopt;
    QByteArray value(size, '\0');
    const ssize_t n = ::getxattr(path.constData(), name, value.data(), size_t(value.size()));
    if (n < 0)
        return std::nullopt;
    value.truncate(n);
    return value;
}

bool wantedAttribute(const QByteArray &name)
{
    return name == AccessAcl || name.startsWith("user.");
}

// Gives the new file the old one's access ACL and user attributes. What
// cannot be copied (a file system without them, a name the new file refuses)
// is skipped: the content matters more.
void copyAttributes(const QByteArray &from, int toFd)
{
    // A default ACL of the folder may have given the new file an ACL the
    // old one did not have.
    if (!getAttribute(from, AccessAcl))
        ::fremovexattr(toFd, AccessAcl);

    const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
    if (size <= 0)
        return;
    QByteArray names(size, '\0');
    const ssize_t n = ::listxattr(from.constData(), names.data(), size_t(names.size()));
    if (n <= 0)
        return;
    names.truncate(n);
    for (const QByteArray &name : names.split('\0')) {
        if (name.isEmpty() || !wantedAttribute(name))
            continue;
        if (const auto value = getAttribute(from, name.constData()))
            ::fsetxattr(toFd, name.constData(), value->constData(), size_t(value->size()), 0);
    }
}

// Makes the new file stand in for the old one: owner and group (where we
// may set them), ACL and user attributes, then the mode. The attributes come
// before the mode because a mode without write permission would keep the
// owner from setting user attributes.
void takeOverAttributes(const QByteArray &oldPath, const struct stat &old, int fd)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && old.st_gid != ::getegid())
        (void)::fchown(fd, uid_t(-1), old.st_gid); // at least the group, when we belong to it
    copyAttributes(oldPath, fd);
    ::fchmod(fd, old.st_mode & 07777);
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

SaveTarget inspectSaveTarget(const QString &path)
{
    SaveTarget target;
    if (path.isEmpty())
        return target;
    target.resolved = followLinks(path);
    if (target.resolved.isEmpty()) {
        target.kind = SaveTarget::Other;
        return target;
    }
    const QByteArray resolved = native(target.resolved);
    struct stat st;
    if (::stat(resolved.constData(), &st) != 0)
        return target; // Missing: whatever is in the way shows when the file is made
    if (S_ISDIR(st.st_mode)) {
        target.kind = SaveTarget::Folder;
    } else if (S_ISREG(st.st_mode)) {
        target.kind = SaveTarget::File;
        target.readOnly = !mayWrite(resolved, st);
    } else {
        target.kind = SaveTarget::Other;
    }
    return target;
}

int saveFileSafely(const QString &path, QByteArrayView bytes, const SafeSaveOptions &options,
                   SaveFailure *failure)
{
    const auto fail = [failure](SaveFailure why) {
        if (failure)
            *failure = why;
        return -1;
    };
    if (failure)
        *failure = SaveFailure::None;
    if (path.isEmpty())
        return fail(SaveFailure::CannotCreate);

    const SaveTarget target = inspectSaveTarget(path);
    if (target.kind == SaveTarget::Folder || target.kind == SaveTarget::Other
        || (target.kind == SaveTarget::File && target.readOnly))
        return fail(SaveFailure::NotReplaceable);
    const QByteArray resolved = native(target.resolved);
    const QString folder = folderOf(target.resolved);

    struct stat old;
    const bool replacing = target.kind == SaveTarget::File && ::stat(resolved.constData(), &old) == 0;
    if (replacing) {
        // The old file goes away by a rename in its folder.
        struct stat dir;
        if (::stat(native(folder).constData(), &dir) != 0 || !mayWrite(native(folder), dir))
            return fail(SaveFailure::FolderReadOnly);
    }

    // A new file gets the usual mode (the umask, the folder's default ACL);
    // a replacement stays private until it has the old file's attributes.
    TempFile temp;
    if (!temp.create(folder, QFileInfo(target.resolved).fileName(), replacing ? 0600 : 0666)) {
        if (errno == ENOENT || errno == ENOTDIR)
            return fail(SaveFailure::FolderMissing);
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return fail(SaveFailure::FolderReadOnly);
        return fail(SaveFailure::CannotCreate);
    }

    constexpr qsizetype Chunk = qsizetype(1) << 20;
    for (qsizetype done = 0; done < bytes.size(); done += Chunk) {
        if (!keepGoing(options.progress, done, bytes.size()))
            return fail(SaveFailure::Cancelled);
        if (!temp.writeAll(bytes.data() + done, qMin(Chunk, bytes.size() - done)))
            return fail(SaveFailure::WriteFailed);
    }
    if (replacing)
        takeOverAttributes(resolved, old, temp.fd());
    if ((::fsync(temp.fd()) != 0 && errno != EINVAL) || !temp.closeFile())
        return fail(SaveFailure::WriteFailed);

    QString inTrash;
    const bool trashed = replacing && options.trashOld && moveFileToTrash(target.resolved, &inTrash);
    if (::rename(temp.path().constData(), resolved.constData()) != 0) {
        if (trashed)
            restoreFromTrash(inTrash, target.resolved);
        return fail(SaveFailure::WriteFailed);
    }
    temp.release();
    syncFolder(folder);
    return 0;
}

QString saveRefusedMessage(SaveFailure failure, const QString &shownPath)
{
    const QString failed = QStringLiteral("書き込みに失敗しました。");
    switch (failure) {
    case SaveFailure::NotReplaceable:
        return failed + u'[' + shownPath + QStringLiteral("]は使用中です。");
    case SaveFailure::FolderMissing:
        return failed + QStringLiteral("パスが見つかりません。[") + shownPath + u']';
    case SaveFailure::FolderReadOnly:
        return failed + u'[' + shownPath + QStringLiteral("]のディレクトリは読取専用です。");
    default:
        return QString();
    }
}
