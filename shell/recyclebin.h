#pragma once
// The desktop's trash (freedesktop.org trash specification).

#include <QString>

// Moves an existing file (hidden ones included) to the trash so that it can
// be restored. Errors are ignored: the caller overwrites the file anyway.
void moveToRecycleBin(const QString &path);
