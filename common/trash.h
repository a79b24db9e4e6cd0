#pragma once
// The desktop's trash, as freedesktop.org describes it.

#include <QString>

// Moves an existing regular file (hidden ones included) to the user's trash
// so that it can be restored. Makes sure the trash's base folder exists
// first: without it Qt would create a "files" folder in the current
// directory and call that the trash. Returns false when nothing was moved;
// callers that overwrite the file anyway ignore that.
bool moveFileToTrash(const QString &path);
