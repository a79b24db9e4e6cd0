#pragma once
// The one way this program replaces a file on disk.
//
// The new content goes to a temporary file in the folder of the file that
// is really written (symbolic links followed), is flushed to the disk, gets
// the old file's owner, group, mode, access ACL and user attributes, and is
// then renamed over that file. A symbolic link therefore stays a link to
// the new content, and the old file is never harmed before the new one is
// complete: on any failure or cancel the temporary file is removed and the
// old file is left exactly as it was.
//
// Only regular files are replaced: a folder, a device, a FIFO or a socket
// at the path (or at the end of its links) is refused, and so is a file we
// may not write. The superuser passes every access check, so for them a
// file without any write permission bit counts as read-only: the protection
// the user set up stays in force.

#include <QByteArrayView>
#include <QString>

#include "common/progress.h"

// What stands at a path that is about to be written.
struct SaveTarget
{
    enum Kind {
        Missing, // nothing (or a link to nothing): a new file is made
        File,    // a regular file
        Folder,
        Other,   // a device, FIFO, socket, or links that loop
    };
    Kind kind = Missing;
    // The path with every symbolic link followed: where the content really
    // goes. Absolute; equal to the given path's absolute form when that is
    // not a link. Empty when the links loop.
    QString resolved;
    // File only: we may not write it (see above for the superuser).
    bool readOnly = false;
};

// Looks at path (following symbolic links) without changing anything.
SaveTarget inspectSaveTarget(const QString &path);

struct SafeSaveOptions
{
    // Called before each piece (1 MiB) is written, with the bytes done and
    // the total; false cancels the save.
    Progress progress = {};
    // Move the old content to the trash once the new content is complete,
    // just before the new file takes its place. When the trash cannot take
    // it the old file is simply replaced.
    bool trashOld = false;
};

// Why a save failed, so that each caller can keep its own messages.
enum class SaveFailure {
    None,
    Cancelled,      // progress returned false
    NotReplaceable, // the target itself is in the way: read-only, or not a
                    // regular file
    CannotCreate,   // no temporary file could be made for another reason
    WriteFailed,    // writing, flushing or renaming failed
    FolderMissing,  // the folder to write in does not exist (or is a file)
    FolderReadOnly, // the folder does not let us make or replace a file in
                    // it (no write permission, a read-only file system)
};

// Replaces (or creates) the file at path with bytes as described above.
// Returns 0 on success, -1 on failure; failure (when given) tells why. Shows
// no message.
int saveFileSafely(const QString &path, QByteArrayView bytes,
                   const SafeSaveOptions &options = {}, SaveFailure *failure = nullptr);

// The message for a save refused for a reason the user can act on, naming
// the file as shownPath: the file is in the way (read-only, in use, not a
// regular file), its folder does not exist, or its folder may not be
// written. "" for the other failures, which each writer words itself, and
// for a cancel, which has no message.
QString saveRefusedMessage(SaveFailure failure, const QString &shownPath);
