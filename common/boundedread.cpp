#include "common/boundedread.h"
#include "common/largepages.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Owns a descriptor for the length of one read.
class Descriptor
{
public:
    Descriptor() = default;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int &fd() { return m_fd; }

private:
    int m_fd = -1;
};

ReadFault faultOfErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return ReadFault::NotFound;
    case EISDIR:
        return ReadFault::NotRegular;
    default:
        return ReadFault::Unreadable;
    }
}

// Opens path for reading when it is a regular file. The type is looked at by
// name first, so that a device or FIFO is not even opened (opening some
// devices has effects of its own), and again on the open descriptor, so that
// an entry swapped in between cannot slip through. O_NONBLOCK keeps that open
// from waiting on a FIFO's writer.
ReadFault openRegular(const QString &path, Descriptor &file, struct stat &st)
{
    if (path.isEmpty())
        return ReadFault::NotFound;
    const QByteArray native = QFile::encodeName(path);
    if (native.contains('\0'))
        return ReadFault::NotFound;
    if (::stat(native.constData(), &st) != 0)
        return faultOfErrno(errno);
    if (!S_ISREG(st.st_mode))
        return ReadFault::NotRegular;
    int &fd = file.fd();
    do
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return faultOfErrno(errno);
    if (::fstat(fd, &st) != 0)
        return ReadFault::Unreadable;
    if (!S_ISREG(st.st_mode))
        return ReadFault::NotRegular;
    return ReadFault::None;
}

// Reads fd to its end into out, starting with room for sizeHint bytes and
// growing only as the data keeps coming. More than maxBytes is TooLarge
// when overflowIsFault, otherwise the first maxBytes bytes are kept.
ReadFault readLoop(int fd, qint64 sizeHint, qint64 maxBytes, bool overflowIsFault, QByteArray &out)
{
    out.clear();
    maxBytes = std::max<qint64>(maxBytes, 0);
    // One byte beyond the cap tells a file that is too long from one that
    // is exactly as long as allowed.
    const qint64 limit = overflowIsFault ? maxBytes + 1 : maxBytes;
    try {
        QByteArray buf(qsizetype(std::clamp<qint64>(sizeHint + 1, 1, std::max<qint64>(limit, 1))),
                       Qt::Uninitialized);
        adviseLargePages(buf.data(), buf.size());
        qint64 got = 0;
        while (got < limit) {
            if (got == buf.size()) {
                const qint64 grown = std::min(limit, std::max<qint64>(got * 2, 64 * 1024));
                buf.resize(qsizetype(grown));
            }
            const ssize_t n = ::read(fd, buf.data() + got, size_t(buf.size() - got));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    pollfd p{fd, POLLIN, 0};
                    ::poll(&p, 1, -1);
                    continue;
                }
                return ReadFault::Unreadable;
            }
            if (n == 0)
                break;
            got += n;
        }
        if (overflowIsFault && got > maxBytes)
            return ReadFault::TooLarge;
        buf.truncate(qsizetype(got));
        out = std::move(buf);
    } catch (const std::bad_alloc &) {
        out.clear();
        return ReadFault::OutOfMemory;
    } catch (const std::length_error &) {
        out.clear();
        return ReadFault::OutOfMemory;
    }
    return ReadFault::None;
}

} // namespace

ReadFault readRegularFile(const QString &path, qint64 maxBytes, QByteArray &out)
{
    out.clear();
    Descriptor file;
    struct stat st;
    if (const ReadFault fault = openRegular(path, file, st); fault != ReadFault::None)
        return fault;
    if (st.st_size > maxBytes)
        return ReadFault::TooLarge;
    return readLoop(file.fd(), st.st_size, maxBytes, true, out);
}

ReadFault readRegularFileHead(const QString &path, qint64 count, QByteArray &out)
{
    out.clear();
    Descriptor file;
    struct stat st;
    if (const ReadFault fault = openRegular(path, file, st); fault != ReadFault::None)
        return fault;
    return readLoop(file.fd(), std::min<qint64>(st.st_size, count), count, false, out);
}

ReadFault readWholeDescriptor(int fd, qint64 maxBytes, QByteArray &out)
{
    out.clear();
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return ReadFault::Unreadable;
    if (S_ISREG(st.st_mode) && st.st_size > maxBytes)
        return ReadFault::TooLarge;
    return readLoop(fd, S_ISREG(st.st_mode) ? st.st_size : 0, maxBytes, true, out);
}

QString fileTooLargeMessage(qint64 maxBytes)
{
    const QString limit = maxBytes % GiB == 0 ? QString::number(maxBytes / GiB) + QStringLiteral(" GB")
                                              : QString::number(maxBytes / MiB) + QStringLiteral(" MB");
    return QStringLiteral("ファイルが大きすぎるため読み込めません(上限 ") + limit + QLatin1Char(')');
}

QString outOfMemoryMessage()
{
    return QStringLiteral("メモリが足りないため、ファイルを読み込めませんでした");
}

QString importReadFaultMessage(ReadFault fault, qint64 maxBytes)
{
    switch (fault) {
    case ReadFault::None:
        break;
    case ReadFault::NotFound:
    case ReadFault::NotRegular:
        return QStringLiteral("ファイルが読めません");
    case ReadFault::TooLarge:
        return fileTooLargeMessage(maxBytes);
    case ReadFault::OutOfMemory:
        return outOfMemoryMessage();
    case ReadFault::Unreadable:
        return QStringLiteral("ファイルが使用中です");
    }
    return QString();
}
