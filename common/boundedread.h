#pragma once
// The one way files are read whole: without ever waiting on the file system
// and never into more memory than a cap that suits the file.
//
// Only regular files are read. A FIFO, socket, terminal or other device is
// refused before anything is read from it (it is not even opened when its
// type can be seen from its name), so that a pipe named like a book or a
// device such as /dev/zero can neither hang the program nor fill its memory.
// The size is known before the buffer is allocated; a file that grows or
// shrinks while it is read is read as far as it goes, within the cap.

#include <QByteArray>
#include <QString>

enum class ReadFault {
    None,        // read
    NotFound,    // nothing at the path (or a folder on the way is missing)
    NotRegular,  // a folder, FIFO, socket or device
    TooLarge,    // longer than the cap
    Unreadable,  // no permission or an input/output error
    OutOfMemory, // the buffer could not be allocated
};

inline constexpr qint64 MiB = qint64(1) << 20;
inline constexpr qint64 GiB = qint64(1) << 30;

// Caps by the kind of file.
inline constexpr qint64 MaxBookFileSize = GiB;           // address books and text formats
inline constexpr qint64 MaxSettingsFileSize = 4 * MiB;   // Brindle.ini
inline constexpr qint64 MaxRegistryFileSize = 256 * MiB; // Wine's system.reg, user.reg

// Reads the whole regular file at path into out (cleared first). At most
// maxBytes bytes; a longer file is TooLarge and nothing is allocated for it.
ReadFault readRegularFile(const QString &path, qint64 maxBytes, QByteArray &out);

// Reads the first count bytes of the regular file at path (fewer when the
// file is shorter) into out. Refuses what readRegularFile refuses, except
// that a longer file is not an error.
ReadFault readRegularFileHead(const QString &path, qint64 count, QByteArray &out);

// Reads an already open descriptor (for example standard input) to its end,
// whatever it is, into out, but at most maxBytes bytes: more is TooLarge.
// This waits for data like any read of a pipe; the descriptor stays open.
ReadFault readWholeDescriptor(int fd, qint64 maxBytes, QByteArray &out);

// The messages a reader shows for the two faults it has no message of its
// own for.
QString fileTooLargeMessage(qint64 maxBytes);
QString outOfMemoryMessage();
// The message that tells the user why a file to be imported was not read
// (a book or an interchange file read whole with a cap of maxBytes); "" for
// ReadFault::None.
QString importReadFaultMessage(ReadFault fault, qint64 maxBytes);
