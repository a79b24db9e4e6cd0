#pragma once
// The desktop's trash, as freedesktop.org describes it.

#include <QString>

// Moves an existing regular file (hidden ones included) to the user's trash
// so that it can be restored. A symbolic link is not moved: the file that
// holds the content is the one to trash, and callers name it. Makes sure the
// trash's base folder exists first: without it Qt would create a "files"
// folder in the current directory and call that the trash. Returns false
// when nothing was moved; callers that overwrite the file anyway ignore
// that. pathInTrash, when given, receives where the file went.
bool moveFileToTrash(const QString &path, QString *pathInTrash = nullptr);

// Undoes moveFileToTrash: puts the file at pathInTrash back at path and
// drops its trash record. False when it could not be put back.
bool restoreFromTrash(const QString &pathInTrash, const QString &path);
